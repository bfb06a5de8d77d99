#include "fw/LineMessageSink.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

QByteArray readAll(std::FILE* file)
{
    std::rewind(file);
    QByteArray bytes;
    char buffer[256];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, file))
        bytes.append(buffer, qsizetype(n));
    return bytes;
}

fw::Message message(const QString& text, fw::MessageButtons buttons = fw::MessageButtons::Ok,
                    fw::MessageAnswer defaultAnswer = fw::MessageAnswer::Ok)
{
    fw::Message m;
    m.text = text;
    m.caption = "Ormi";
    m.buttons = buttons;
    m.defaultAnswer = defaultAnswer;
    return m;
}

} // namespace

TEST(LineMessageSinkTest, EachMessageIsOneLineNamingTheProgramInTheOrderShown)
{
    const std::unique_ptr<std::FILE, FileCloser> stream(std::tmpfile());
    ASSERT_TRUE(stream);
    fw::LineMessageSink sink(stream.get(), "ormi");
    sink.show(message("Formato de archivo inesperado."));
    sink.show(message("Primera línea.\n\nSegunda línea.\r\n  Tercera.\n"));
    sink.show(message("No se encuentra la impresora Planta 2."));
    EXPECT_EQ(QString::fromLocal8Bit(readAll(stream.get())),
              "ormi: Formato de archivo inesperado.\n"
              "ormi: Primera línea. Segunda línea. Tercera.\n"
              "ormi: No se encuentra la impresora Planta 2.\n");
}

TEST(LineMessageSinkTest, AQuestionIsWrittenAndTakesItsDefaultAnswer)
{
    const std::unique_ptr<std::FILE, FileCloser> stream(std::tmpfile());
    ASSERT_TRUE(stream);
    fw::LineMessageSink sink(stream.get(), "ormi");
    using fw::MessageAnswer;
    using fw::MessageButtons;
    EXPECT_EQ(sink.show(message("¿Seguir?", MessageButtons::YesNo, MessageAnswer::No)), MessageAnswer::No);
    EXPECT_EQ(sink.show(message("¿Guardar?", MessageButtons::YesNoCancel, MessageAnswer::Cancel)),
              MessageAnswer::Cancel);
    EXPECT_EQ(sink.show(message("Hecho.")), MessageAnswer::Ok);
    EXPECT_EQ(QString::fromLocal8Bit(readAll(stream.get())), "ormi: ¿Seguir?\normi: ¿Guardar?\normi: Hecho.\n");
}
