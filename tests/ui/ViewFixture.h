#pragma once

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "fw/ProgramWide.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestApplication.h"
#include "ui/COrmiView.h"

#include <gtest/gtest.h>

// A view on a document of the test's rows, with a catalogue of one whipper type. Every
// device draws its axis as two black 2-unit lines, the first straight down onto the row's
// y at x = 200.
class ViewFixture : public ::testing::Test {
protected:
    static constexpr int WhipperType = 0;
    // Left free for the tests that need them.
    static constexpr int DispenserType = 1;
    static constexpr int ValveType = 2;

    ViewFixture();
    ~ViewFixture() override;

    // n devices named "D1".."Dn".
    void addDevices(int n);
    // The rows a recording shows, by the y of their axis as the page sees it (window origin
    // taken off).
    static QList<int> rowsDrawn(const RecordingCanvas& dc);
    // One run of the view's print steps for page (from 1) on a recording printer of the
    // given printable area; the drawing rectangle is the page's.
    RecordingCanvas printPage(CPrintInfo& info, int page);
    CPrintInfo prepare(int horzSizeMm, int vertSizeMm);

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    COrmiDoc doc;
    COrmiView view;
};
