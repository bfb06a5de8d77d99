#pragma once

#include "app/TipoMaquinaDlgData.h"
#include "db/LeeDbConfiguraciones.h"

#include <QDialog>

class CAnimatedPicture;
class QFrame;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Chooses the machine model of a document: the catalogue's configurations as a tree of
// machine types, each with its configurations, beside the picture of the one selected. Reads
// the record's model and confirm flag and, on OK only, writes the chosen model back.
class TipoMaquinaDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 148;
    static constexpr int OkId = 1;
    static constexpr int CancelId = 2;
    static constexpr int PictureId = 1031;
    static constexpr int TreeId = 1030;
    // Item data of a machine type.
    static constexpr int MachineTypeData = 0;
    // "El modelo de máquina seleccionado es: %s"
    static constexpr int SelectedModelText = 1570;
    // "Ha seleccionado una máquina modelo %s y el fichero de dosis pertenece a ..."
    static constexpr int OtherModelQuestion = 229;

    // Lists the prototypes in the internal mode.
    TipoMaquinaDlg(TipoMaquinaDlgData& data, LeeDbConfiguraciones::Mode mode, QWidget* parent = nullptr);
    ~TipoMaquinaDlg() override;

    // The configuration code of the selected item; -1 when nothing or a machine type is.
    int ObtenSeleccion() const;
    // Shows the configuration's picture, or an empty area when it has none that loads.
    void MuestraImagen(int code);
    // Nothing without a configuration selected; with the confirmation, the user confirms a
    // model other than the document's (a new document's model 1 is no other model). Then the
    // record takes the selection and the dialog ends with OK.
    void OnOK();
    void OnSelchangedArbol();
    void OnDblclkArbol();

    QTreeWidget* tree() const { return m_tree; }
    CAnimatedPicture* picture() const { return m_picture; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    // Fills the tree from the catalogue the first time; the dialog stores nothing back.
    void DoDataExchange(bool saving);
    void fillTree();
    void layOut();
    // The tree width that shows every name without the horizontal scroll bar.
    int namesWidth() const;
    // The configuration's display name, "<machine type>: <configuration>".
    QString displayName(int code) const;

    TipoMaquinaDlgData& m_data;
    LeeDbConfiguraciones::Mode m_mode;
    bool m_filled = false;
    QFrame* m_pictureFrame;
    CAnimatedPicture* m_picture;
    QTreeWidget* m_tree;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
