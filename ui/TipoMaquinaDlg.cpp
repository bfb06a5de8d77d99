#include "ui/TipoMaquinaDlg.h"

#include "fw/Application.h"
#include "fw/DialogFit.h"
#include "fw/MessageBoxes.h"
#include "ui/CAnimatedPicture.h"

#include <QBitmap>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

constexpr int NewDocumentModel = 1;

constexpr int ImageSize = 18;
constexpr int MachineTypeImage = 0;
constexpr int ConfigurationImage = 1;

// Places in dialog units: the controls, and the client area that holds them.
constexpr QRect PictureRect(12, 12, 180, 180);
constexpr QRect TreeRect(204, 12, 228, 180);
constexpr QRect OkRect(324, 204, 50, 14);
constexpr QRect CancelRect(384, 204, 50, 14);
constexpr QSize ClientSize(444, 226);
// Pixels of the window manager's frame on both sides together.
constexpr int WindowFrameAllowance = 16;

// Dialog units to pixels through the font: a horizontal unit is a quarter of the average
// character width, a vertical one an eighth of the character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        m_baseX = qMax(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
        m_baseY = qMax(1, metrics.height());
    }
    int x(int units) const { return units * m_baseX / 4; }
    int y(int units) const { return units * m_baseY / 8; }
    QRect rect(const QRect& units) const
    {
        return QRect(x(units.x()), y(units.y()), x(units.width()), y(units.height()));
    }
    QSize size(const QSize& units) const { return QSize(x(units.width()), y(units.height())); }

private:
    int m_baseX;
    int m_baseY;
};

// Bitmap 149: a machine type (a vending machine) and a configuration (its dispensers), 18
// pixels each, on white, which is transparent.
QImage bitmap149()
{
    QImage strip(2 * ImageSize, ImageSize, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    // The machine: cabinet, window, keypad and the cup bay.
    painter.fillRect(3, 1, 12, 16, QColor(70, 70, 80));
    painter.fillRect(5, 3, 5, 7, QColor(150, 200, 235));
    painter.fillRect(11, 3, 2, 2, QColor(240, 200, 40));
    painter.fillRect(11, 6, 2, 2, QColor(240, 200, 40));
    painter.fillRect(6, 12, 6, 4, QColor(20, 20, 20));
    painter.fillRect(8, 13, 2, 3, QColor(200, 120, 50));
    // The configuration: three dispenser hoppers over their outlets.
    const QColor hopper(160, 90, 40);
    for (int k = 0; k < 3; ++k) {
        const int left = ImageSize + 1 + 6 * k;
        painter.fillRect(left, 2, 4, 8, hopper);
        painter.fillRect(left + 1, 10, 2, 4, QColor(90, 90, 90));
    }
    painter.fillRect(ImageSize + 1, 15, 16, 2, QColor(60, 60, 60));
    painter.end();
    return strip;
}

QIcon imageOf(const QImage& strip, int index)
{
    QPixmap image = QPixmap::fromImage(strip.copy(index * ImageSize, 0, ImageSize, ImageSize));
    image.setMask(QBitmap::fromImage(image.toImage().createMaskFromColor(qRgb(255, 255, 255), Qt::MaskInColor)));
    return QIcon(image);
}

} // namespace

TipoMaquinaDlg::TipoMaquinaDlg(TipoMaquinaDlgData& data, LeeDbConfiguraciones::Mode mode, QWidget* parent)
    : QDialog(parent)
    , m_data(data)
    , m_mode(mode)
    , m_pictureFrame(new QFrame(this))
    , m_picture(new CAnimatedPicture(m_pictureFrame))
    , m_tree(new QTreeWidget(this))
    , m_ok(new QPushButton(this))
    , m_cancel(new QPushButton(this))
{
    const fw::StringTable& strings = fw::Application::get().strings();
    setWindowTitle(strings.text(fw::TextKey::dialog(TemplateId)));
    m_ok->setText(strings.text(fw::TextKey::dialog(TemplateId, OkId)));
    m_cancel->setText(strings.text(fw::TextKey::dialog(TemplateId, CancelId)));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(false);

    m_pictureFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pictureFrame->setLineWidth(1);
    QPalette black = m_pictureFrame->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_pictureFrame->setPalette(black);
    m_picture->move(m_pictureFrame->frameWidth(), m_pictureFrame->frameWidth());

    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setIconSize(QSize(ImageSize, ImageSize));
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    DoDataExchange(false);
    // After the filling: the tree is as wide as its longest name.
    layOut();
    setTabOrder(m_tree, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_tree->setFocus();
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &TipoMaquinaDlg::OnSelchangedArbol);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &TipoMaquinaDlg::OnDblclkArbol);
    connect(m_ok, &QPushButton::clicked, this, &TipoMaquinaDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TipoMaquinaDlg::~TipoMaquinaDlg() { m_picture->StopAnimation(); }

void TipoMaquinaDlg::layOut()
{
    const DialogUnits units(font());
    const QSize client = units.size(ClientSize);
    // The tree grows to its longest name and the window to its caption, within the screen;
    // the buttons keep to the right edge.
    const int treeGrowth = qMax(0, namesWidth() - units.x(TreeRect.width()));
    const int captionGrowth = qMax(0, fw::DialogFit::captionWidth(*this) - client.width());
    const int room = qMax(0, screen()->availableGeometry().width() - WindowFrameAllowance - client.width());
    const int added = qMin(qMax(treeGrowth, captionGrowth), room);
    const int treeAdded = qMin(treeGrowth, added);
    m_pictureFrame->setGeometry(units.rect(PictureRect));
    m_tree->setGeometry(units.rect(TreeRect).adjusted(0, 0, treeAdded, 0));
    m_ok->setGeometry(units.rect(OkRect).translated(added, 0));
    m_cancel->setGeometry(units.rect(CancelRect).translated(added, 0));
    setFixedSize(client.width() + added, client.height());
}

int TipoMaquinaDlg::namesWidth() const
{
    int widest = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        int depth = m_tree->rootIsDecorated() ? 1 : 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        const QModelIndex index = m_tree->indexFromItem(*it);
        widest = qMax(widest, depth * m_tree->indentation() + m_tree->sizeHintForIndex(index).width());
    }
    return widest + 2 * m_tree->frameWidth() + m_tree->verticalScrollBar()->sizeHint().width();
}

void TipoMaquinaDlg::DoDataExchange(bool saving)
{
    if (!saving && !m_filled) {
        m_filled = true;
        fillTree();
    }
}

void TipoMaquinaDlg::fillTree()
{
    const QImage images = bitmap149();
    const QIcon typeImage = imageOf(images, MachineTypeImage);
    const QIcon configurationImage = imageOf(images, ConfigurationImage);
    LeeDbConfiguraciones configurations(m_mode);
    QString machineType;
    QString configuration;
    int code = 0;
    QTreeWidgetItem* typeItem = nullptr;
    QString previousType;
    while (configurations.LeeSiguienteConfiguracion(machineType, configuration, code)) {
        // A type that comes back after another gets an item of its own again.
        if (!typeItem || machineType != previousType) {
            previousType = machineType;
            typeItem = new QTreeWidgetItem(m_tree, {machineType});
            typeItem->setIcon(0, typeImage);
            typeItem->setData(0, Qt::UserRole, MachineTypeData);
        }
        auto* item = new QTreeWidgetItem(typeItem, {configuration});
        item->setIcon(0, configurationImage);
        item->setData(0, Qt::UserRole, code);
        if (code == m_data.model) {
            m_tree->setCurrentItem(item);
            MuestraImagen(code);
        }
    }
    m_tree->expandAll();
    if (QTreeWidgetItem* selected = m_tree->currentItem())
        m_tree->scrollToItem(selected);
}

int TipoMaquinaDlg::ObtenSeleccion() const
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int code = selected.first()->data(0, Qt::UserRole).toInt();
    return code == MachineTypeData ? -1 : code;
}

void TipoMaquinaDlg::MuestraImagen(int code)
{
    m_picture->Clear();
    const QString path = LeeDbConfiguraciones(m_mode).LeeFicheroImagen(code);
    if (m_picture->LoadFromFile(path))
        m_picture->Show();
    else
        update();
}

void TipoMaquinaDlg::OnSelchangedArbol()
{
    const int code = ObtenSeleccion();
    if (code != -1)
        MuestraImagen(code);
}

void TipoMaquinaDlg::OnDblclkArbol()
{
    if (ObtenSeleccion() != -1)
        OnOK();
}

QString TipoMaquinaDlg::displayName(int code) const { return LeeDbConfiguraciones(m_mode).LeeNombreConfiguracion(code); }

void TipoMaquinaDlg::OnOK()
{
    const int selection = ObtenSeleccion();
    if (selection == -1)
        return;
    if (m_data.confirm) {
        const fw::StringTable& strings = fw::Application::get().strings();
        if (m_data.model == NewDocumentModel || m_data.model == selection) {
            fw::MessageBoxes::box(strings.format(SelectedModelText, {displayName(selection)}));
        } else if (!fw::MessageBoxes::askYesNo(
                       strings.format(OtherModelQuestion, {displayName(selection), displayName(m_data.model)}))) {
            return;
        }
    }
    m_data.model = selection;
    accept();
}
