#include "fw/Document.h"
#include "fw/RecentFileList.h"
#include "fw/SingleDocTemplate.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/ScriptedFileNamePrompt.h"
#include "tests/support/TestApplication.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

using fw::MessageAnswer;

namespace {

// A document that records what the layer asked of it; files in failing fail to open or save.
class FakeDocument : public fw::Document {
public:
    void newDocument() override
    {
        calls << "new";
        m_path.clear();
        modified = false;
    }
    bool openDocument(const QString& path) override { return takeFile("open", path); }
    bool saveDocument(const QString& path) override { return takeFile("save", path); }
    bool isModified() const override { return modified; }
    QString pathName() const override { return m_path; }
    QString title() const override { return m_title; }
    void setTitle(const QString& title) override { m_title = title; }

    QStringList calls;
    QStringList failing;
    bool modified = false;

private:
    // An open or a save, recorded; unless the file fails, the document takes its path and title.
    bool takeFile(const QString& command, const QString& path)
    {
        calls << command + " " + path;
        if (failing.contains(path))
            return false;
        m_path = path;
        m_title = path.section('/', -1);
        modified = false;
        return true;
    }

    QString m_path;
    QString m_title;
};

// A frame with the file menu's commands, as the program's frame carries them.
class DocTemplateTest : public ::testing::Test {
protected:
    DocTemplateTest()
    {
        QMenu* file = m_frame.menuBar()->addMenu("&Archivo");
        for (int id : {57600, 57601, 57603, 57604, 0, 57616, 0, 57665}) {
            if (id == 0) {
                file->addSeparator();
                continue;
            }
            auto* action = file->addAction(id == 57616 ? "Archivo reciente" : QString::number(id));
            action->setData(id);
            action->setEnabled(id == 57665); // the frame's own
        }
        m_template = std::make_unique<fw::SingleDocTemplate>(
            fw::DocTemplateStrings::parse("Ormi\n\nOrmi\nConfiguracion dosis Dravolino (*.caf)\n.caf\nT\nT"), m_doc,
            m_frame, m_recent);
        m_template->NewDocument();
        m_doc.calls.clear();
    }

    QAction* action(int id) const
    {
        for (QAction* a : m_frame.findChildren<QAction*>())
            if (a->data().toInt() == id)
                return a;
        return nullptr;
    }
    QStringList fileMenu() const
    {
        QStringList out;
        for (const QAction* a : m_frame.menuBar()->actions().first()->menu()->actions())
            if (!a->isSeparator() && a->isVisible())
                out << a->text() + (a->isEnabled() ? "" : " (off)");
        return out;
    }
    QString path(const QString& name) const { return m_app.tempPath(name); }

    TestApplication m_app;
    ScriptedFileNamePrompt m_files;
    FakeDocument m_doc;
    QMainWindow m_frame;
    fw::RecentFileList m_recent{m_app.profile(), 4};
    std::unique_ptr<fw::SingleDocTemplate> m_template;
};

} // namespace

TEST_F(DocTemplateTest, TheFileCommandsAreConnectedAndEnabled)
{
    for (int id : {57600, 57601, 57603, 57604})
        EXPECT_TRUE(action(id)->isEnabled()) << id;
    action(57601)->trigger();
    ASSERT_EQ(m_files.requests().size(), 1);
    const fw::FileNameRequest& open = m_files.requests().first();
    EXPECT_EQ(open.mode, fw::FileNameRequest::Mode::Open);
    EXPECT_EQ(open.caption, "Abrir");
    EXPECT_EQ(open.filters, QStringList({"Configuracion dosis Dravolino (*.caf)", "Todos los archivos (*.*)"}));
    EXPECT_TRUE(m_doc.calls.isEmpty()) << "cancelled";
}

TEST_F(DocTemplateTest, EachAnswerToTheSaveChangesQuestion)
{
    const struct {
        const char* name;
        QList<MessageAnswer> answers;
        bool failingSave;
        bool goesOn;
        QStringList calls;
    } cases[] = {
        {"yes saves", {MessageAnswer::Yes}, false, true, {"save /d/a.caf", "new"}},
        {"no discards", {MessageAnswer::No}, false, true, {"new"}},
        {"cancel stops", {MessageAnswer::Cancel}, false, false, {}},
        {"failed save stops", {MessageAnswer::Yes}, true, false, {"save /d/a.caf"}},
    };
    for (const auto& c : cases) {
        m_doc.calls.clear();
        m_doc.failing = c.failingSave ? QStringList{"/d/a.caf"} : QStringList{};
        m_doc.openDocument("/d/a.caf");
        m_doc.calls.clear();
        m_doc.modified = true;
        m_app.messages().clear();
        for (MessageAnswer answer : c.answers)
            m_app.messages().queueAnswer(answer);

        action(57600)->trigger();

        ASSERT_EQ(m_app.messages().shown().size(), 1) << c.name;
        const fw::Message& question = m_app.messages().shown().first();
        EXPECT_EQ(question.text, "¿Desea guardar los cambios efectuados en a.caf?") << c.name;
        EXPECT_EQ(question.buttons, fw::MessageButtons::YesNoCancel) << c.name;
        EXPECT_EQ(m_doc.calls, c.calls) << c.name;
        EXPECT_EQ(m_doc.isModified(), !c.goesOn) << c.name;
    }
}

TEST_F(DocTemplateTest, AnUnmodifiedDocumentIsNotAsked)
{
    EXPECT_TRUE(m_template->SaveModified());
    EXPECT_TRUE(m_app.messages().shown().isEmpty());
}

TEST_F(DocTemplateTest, SaveWithoutAPathAsksANameProposingTheTitleAndAddsTheExtension)
{
    m_files.queueAnswer(path("nueva"));
    EXPECT_TRUE(m_template->OnFileSave());
    ASSERT_EQ(m_files.requests().size(), 1);
    EXPECT_EQ(m_files.requests().first().mode, fw::FileNameRequest::Mode::Save);
    EXPECT_EQ(m_files.requests().first().proposedName, "Sin título.caf");
    EXPECT_EQ(m_doc.calls, QStringList({"save " + path("nueva.caf")}));
    EXPECT_EQ(m_frame.windowTitle(), "nueva.caf - Ormi");

    // A saved document saves into its path without asking; a typed extension stays.
    m_doc.calls.clear();
    EXPECT_TRUE(m_template->OnFileSave());
    EXPECT_EQ(m_files.requests().size(), 1);
    m_files.queueAnswer(path("copia.dat"));
    EXPECT_TRUE(m_template->OnFileSaveAs());
    EXPECT_EQ(m_files.requests().last().proposedName, path("nueva.caf"));
    EXPECT_EQ(m_doc.calls, QStringList({"save " + path("nueva.caf"), "save " + path("copia.dat")}));

    // Cancel in the dialog saves nothing.
    m_doc.calls.clear();
    EXPECT_FALSE(m_template->OnFileSaveAs());
    EXPECT_TRUE(m_doc.calls.isEmpty());
}

TEST_F(DocTemplateTest, TheWindowTitleNamesTheDocument)
{
    EXPECT_EQ(m_frame.windowTitle(), "Sin título - Ormi");
    m_template->OpenDocumentFile("/d/dosis.caf");
    EXPECT_EQ(m_frame.windowTitle(), "dosis.caf - Ormi");
    m_template->OnFileNew();
    EXPECT_EQ(m_frame.windowTitle(), "Sin título - Ormi");
}

TEST_F(DocTemplateTest, TheRecentFilesMenu)
{
    EXPECT_EQ(fileMenu(), QStringList({"57600", "57601", "57603", "57604", "Archivo reciente (off)", "57665"}));

    for (const char* name : {"a.caf", "b.caf", "c.caf", "d.caf", "e.caf", "b.caf"})
        ASSERT_TRUE(m_template->OpenDocumentFile(QString::fromLatin1("/d/") + name));
    EXPECT_EQ(fileMenu(), QStringList({"57600", "57601", "57603", "57604", "&1 /d/b.caf", "&2 /d/e.caf",
                                       "&3 /d/d.caf", "&4 /d/c.caf", "57665"}));
    EXPECT_EQ(action(57617)->statusTip(), "/d/e.caf");
    EXPECT_EQ(m_app.profile().GetString("Recent File List", "File1"), "/d/b.caf");

    // An entry opens its file and moves to the top; one that fails to open leaves the list.
    m_doc.calls.clear();
    action(57618)->trigger();
    EXPECT_EQ(m_doc.calls, QStringList({"open /d/d.caf"}));
    EXPECT_EQ(m_recent.files(), QStringList({"/d/d.caf", "/d/b.caf", "/d/e.caf", "/d/c.caf"}));
    m_doc.failing = QStringList{"/d/e.caf"};
    action(57618)->trigger();
    EXPECT_EQ(m_recent.files(), QStringList({"/d/d.caf", "/d/b.caf", "/d/c.caf"}));
    EXPECT_FALSE(action(57619)->isVisible());
    EXPECT_EQ(m_app.profile().GetString("Recent File List", "File3"), "/d/c.caf");
    EXPECT_EQ(m_app.profile().GetString("Recent File List", "File4"), "");
}

TEST_F(DocTemplateTest, ClosingTheWindowAsksAndCancelKeepsItOpen)
{
    m_frame.show();
    m_doc.modified = true;
    m_app.messages().queueAnswer(MessageAnswer::Cancel);
    EXPECT_FALSE(m_frame.close());
    EXPECT_TRUE(m_frame.isVisible());
    m_app.messages().queueAnswer(MessageAnswer::No);
    EXPECT_TRUE(m_frame.close());
    EXPECT_EQ(m_app.messages().shown().size(), 2);
}

TEST_F(DocTemplateTest, TheCommandLinesDocument)
{
    using Result = fw::SingleDocTemplate::ShellResult;
    QStringList printed;
    m_template->setDirectPrint([&](const QString& printer) {
        printed << printer;
        return printer != "rota";
    });
    const QString usage = m_app.strings().text(fw::SingleDocTemplate::PrintNeedsFileText);
    const struct {
        QStringList arguments;
        Result result;
        QStringList calls;
        QStringList printed;
        QStringList messages = {};
    } cases[] = {
        {{}, Result::Run, {"new"}, {}},
        {{"/d/a.caf"}, Result::Run, {"open /d/a.caf"}, {}},
        {{"/d/bad.caf"}, Result::Failed, {"open /d/bad.caf"}, {}},
        {{"/p", "/d/a.caf"}, Result::Done, {"open /d/a.caf"}, {""}},
        {{"/pt", "/d/a.caf", "Oficina"}, Result::Done, {"open /d/a.caf"}, {"Oficina"}},
        {{"/pt", "/d/a.caf", "rota"}, Result::Failed, {"open /d/a.caf"}, {"rota"}},
        {{"/p", "/d/bad.caf"}, Result::Failed, {"open /d/bad.caf"}, {}},
        // "/pt" without its printer would print on another one.
        {{"/pt", "/d/a.caf"}, Result::Failed, {}, {}, {usage}},
        {{"/pt", "/d/a.caf", ""}, Result::Failed, {}, {}, {usage}},
    };
    m_doc.failing = QStringList{"/d/bad.caf"};
    for (const auto& c : cases) {
        m_doc.calls.clear();
        printed.clear();
        m_app.messages().clear();
        EXPECT_EQ(m_template->ProcessShellCommand(fw::CommandLineInfo::parse(c.arguments)), c.result)
            << c.arguments.join(' ').toStdString();
        EXPECT_EQ(m_doc.calls, c.calls) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(printed, c.printed) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(m_app.messages().texts(), c.messages) << c.arguments.join(' ').toStdString();
    }
}
