#include "app/CAboutDlg.h"

#include "app/ToolbarArt.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleTextId = 1026;
constexpr int VersionTextId = 1584;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
    , m_title(new QLabel(this))
    , m_release(new QLabel(this))
    , m_notice(new QLabel(this))
{
    const fw::StringTable& strings = fw::Application::get().strings();
    setWindowTitle(QStringLiteral("Acerca de ") + fw::Application::get().name());
    setWindowIcon(ToolbarArt::applicationIcon());

    m_title->setText(strings.text(TitleTextId) + strings.text(VersionTextId) + QLatin1String(Version));
    m_release->setText(fw::TextFormat::format(QStringLiteral("Release %s (%s)"), {BuildNumber, BuildDate}));
    m_notice->setText(QStringLiteral("Copyright (C) Pemvora. Todos los derechos reservados."));

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
    buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QString CAboutDlg::titleText() const { return m_title->text(); }
QString CAboutDlg::releaseText() const { return m_release->text(); }
QString CAboutDlg::noticeText() const { return m_notice->text(); }
