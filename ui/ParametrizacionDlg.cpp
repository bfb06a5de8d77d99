#include "ui/ParametrizacionDlg.h"

#include "app/CCfg.h"
#include "fw/Windows1252.h"
#include "ui/DialogLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace {

QLabel* wrappedText(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

} // namespace

ParametrizacionDlg::ParametrizacionDlg(ParametrizacionDlgData& record, const CCfg& catalogue, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_catalogue(catalogue)
    , m_pump(addItem(PumpEdit, new QLineEdit))
{
    setWindowTitle(itemText(0, QStringLiteral("Parametrización de máquina")));
    auto* fields = new QWidget;
    QGridLayout* grid = DialogLayout::fieldGrid(fields);
    grid->addWidget(wrappedText(itemText(-1, QStringLiteral(
                        "Al introducir aqui el número de gramos por segundo de los dispensadores y la velocidad de "
                        "la bomba , se van a visualizar DE FORMA ORIENTATIVA estos datos en el fichero de dosis."))),
                    0, 0, 1, 2);
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k) {
        m_labels[k] = addItem(DispenserLabels[k], new QLabel);
        m_labels[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_dispensers[k] = addItem(DispenserEdits[k], new QLineEdit);
        grid->addWidget(m_labels[k], k + 1, 0);
        grid->addWidget(m_dispensers[k], k + 1, 1);
        if (k > 0)
            setTabOrder(m_dispensers[k - 1], m_dispensers[k]);
    }
    setTabOrder(m_dispensers.back(), m_pump);
    auto* pumpLabel = new QLabel(itemText(-2, QStringLiteral("Cc/seg bomba:")));
    pumpLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(pumpLabel, ParametrizacionDlgData::DispenserCount + 1, 0);
    grid->addWidget(m_pump, ParametrizacionDlgData::DispenserCount + 1, 1);
    grid->addWidget(wrappedText(itemText(-3, QStringLiteral(
                        "AVISO: los gr y centimetros cúbicos mostrados junto con las dosis son solo INFORMATIVOS, y "
                        "no tienen por qué corresponder con el funcionamiento real de la máquina."))),
                    ParametrizacionDlgData::DispenserCount + 2, 0, 1, 2);
    fields->setFixedWidth(460);
    DialogLayout::stack(this, {fields}, makeButtons(QStringLiteral("OK"), QStringLiteral("Cancel")));
}

void ParametrizacionDlg::DoDataExchange(fw::DataExchange& dx)
{
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k)
        dx.text(m_dispensers[k], m_data.gramsPer10s[k]);
    dx.text(m_pump, m_data.pumpCcPerSecond);
    if (dx.isSaving())
        return;
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k) {
        const QString label = itemText(DispenserLabels[k], QStringLiteral("Gramos/10 seg dispensador %1:").arg(k + 1));
        m_labels[k]->setText(label + QLatin1Char('\n') + fw::Windows1252::decode(m_catalogue.GetDefaultName(k + 1)));
    }
}

void ParametrizacionDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_record = m_data;
    EndDialogOk();
}
