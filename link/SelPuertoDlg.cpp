#include "link/SelPuertoDlg.h"

#include "fw/Application.h"
#include "fw/DialogFit.h"
#include "fw/Profile.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString OrmiSection = QStringLiteral("Ormi");
const QString PortValue = QStringLiteral("SerialPort");
QString text(int controlId = fw::TextKey::NoControl)
{
    return fw::Application::get().strings().text(fw::TextKey::dialog(SelPuertoDlg::TemplateId, controlId));
}
} // namespace

SelPuertoDlg::SelPuertoDlg(QWidget* parent)
    : SelPuertoDlg(fw::Application::get().profile(), PortResolver(fw::Application::get().profile()), parent)
{
}

SelPuertoDlg::SelPuertoDlg(fw::Profile& profile, const PortResolver& resolver, QWidget* parent)
    : QDialog(parent)
    , m_profile(profile)
    , m_resolver(resolver)
    , m_portText(QStringLiteral("COM%1").arg(profile.GetInt(OrmiSection, PortValue, 1)))
    , m_ports(new QComboBox(this))
    , m_device(new QLabel(this))
{
    setWindowTitle(text());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(text(PortLabel), this);
    label->setBuddy(m_ports);
    m_ports->setMinimumContentsLength(8);
    m_ports->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_device->setForegroundRole(QPalette::PlaceholderText);
    m_device->setMinimumWidth(120);
    connect(m_ports, &QComboBox::currentIndexChanged, this, &SelPuertoDlg::showDevice);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(text(OkId), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(text(CancelId), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelPuertoDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* choice = new QGridLayout;
    choice->addWidget(label, 0, 0);
    choice->addWidget(m_ports, 0, 1);
    choice->addWidget(m_device, 1, 1);
    choice->setColumnStretch(1, 1);
    choice->setRowStretch(2, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choice, 1);
    layout->addWidget(buttons);
    fw::DialogFit::fitCaption(*this, *m_device);
    m_ports->setFocus();

    LlenaPuertos();
}

void SelPuertoDlg::LlenaPuertos()
{
    m_ports->clear();
    for (int n = FirstPort; n <= LastPort; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (!m_resolver.exists(name))
            continue;
        const QString path = m_resolver.devicePath(name);
        m_ports->addItem(name, path);
        m_ports->setItemData(m_ports->count() - 1, path, Qt::ToolTipRole);
    }
    const int chosen = m_ports->findText(m_portText, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_ports->setCurrentIndex(chosen >= 0 ? chosen : (m_ports->count() > 0 ? 0 : -1));
    showDevice(m_ports->currentIndex());
}

QString SelPuertoDlg::devicePathShown() const { return m_device->text(); }

void SelPuertoDlg::accept()
{
    m_portText = m_ports->currentText();
    m_profile.WriteInt(OrmiSection, PortValue, PortResolver::portNumber(m_portText));
    QDialog::accept();
}

void SelPuertoDlg::showDevice(int index)
{
    m_device->setText(index >= 0 ? m_ports->itemData(index).toString() : QString());
}
