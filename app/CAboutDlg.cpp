#include "app/CAboutDlg.h"

#include "app/ToolbarArt.h"
#include "fw/Application.h"
#include "fw/DialogFit.h"
#include "fw/TextFormat.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int DialogId = 203;
constexpr int OkButtonId = 1;
constexpr int TitleControlId = 1026;
constexpr int ReleaseControlId = 1027;
constexpr int NoticeControlId = 1039;
constexpr int VersionTextId = 1584;

QString controlText(int controlId)
{
    return fw::Application::get().strings().text(fw::TextKey::dialog(DialogId, controlId));
}
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
    , m_title(new QLabel(this))
    , m_release(new QLabel(this))
    , m_notice(new QLabel(this))
{
    const fw::StringTable& strings = fw::Application::get().strings();
    setWindowTitle(strings.text(fw::TextKey::dialog(DialogId)));
    setWindowIcon(ToolbarArt::applicationIcon());

    m_title->setText(controlText(TitleControlId) + strings.text(VersionTextId) + QLatin1String(Version));
    m_release->setText(fw::TextFormat::format(controlText(ReleaseControlId), {BuildNumber, BuildDate}));
    m_notice->setText(controlText(NoticeControlId));

    auto* icon = new QLabel(this);
    icon->setPixmap(ToolbarArt::applicationIcon().pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_title);
    texts->addWidget(m_release);
    texts->addWidget(m_notice);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(controlText(OkButtonId), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    fw::DialogFit::fitCaption(*this, *buttons);
}

QString CAboutDlg::titleText() const { return m_title->text(); }
QString CAboutDlg::releaseText() const { return m_release->text(); }
QString CAboutDlg::noticeText() const { return m_notice->text(); }
