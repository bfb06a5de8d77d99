#include "fw/MessageBoxes.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

using fw::MessageAnswer;

TEST(MessageBoxesTest, EachKindReachesTheSinkWithItsCaptionAndIcon)
{
    TestApplication app;
    fw::MessageBoxes::box("uno");
    fw::MessageBoxes::stop("dos");
    fw::MessageBoxes::information("tres", "Conversión");

    const auto& shown = app.messages().shown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].kind, fw::MessageKind::Framework);
    EXPECT_EQ(shown[0].caption, "Ormi");
    EXPECT_EQ(shown[1].kind, fw::MessageKind::PlainStop);
    EXPECT_EQ(shown[1].caption, QString());
    EXPECT_EQ(shown[1].icon, fw::MessageIcon::Stop);
    EXPECT_EQ(shown[2].kind, fw::MessageKind::Information);
    EXPECT_EQ(shown[2].caption, "Conversión");
    EXPECT_EQ(shown[2].icon, fw::MessageIcon::Information);
    EXPECT_EQ(app.messages().texts(), QStringList({"uno", "dos", "tres"}));
}

TEST(MessageBoxesTest, QuestionsTakeQueuedAnswersInOrderAndOnlyYesContinues)
{
    TestApplication app;
    app.messages().queueAnswer(MessageAnswer::Yes);
    app.messages().queueAnswer(MessageAnswer::No);
    app.messages().queueAnswer(MessageAnswer::Cancel);
    EXPECT_TRUE(fw::MessageBoxes::askYesNo("¿Seguir?"));
    EXPECT_FALSE(fw::MessageBoxes::askYesNo("¿Seguir?"));
    EXPECT_EQ(fw::MessageBoxes::box("SI -> Seguir", fw::MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    // Nothing queued: a question is closed with its default, No.
    EXPECT_FALSE(fw::MessageBoxes::askYesNo("¿Seguir?"));
}

TEST(MessageBoxesTest, ANestedApplicationIsCurrentOnlyWhileItLives)
{
    TestApplication outer;
    {
        TestApplication inner;
        fw::MessageBoxes::box("dentro");
        EXPECT_EQ(inner.messages().shown().size(), 1);
    }
    fw::MessageBoxes::box("fuera");
    EXPECT_EQ(outer.messages().texts(), QStringList({"fuera"}));
}
