#include "tests/ui/ViewFixture.h"

#include "tests/support/TestDeviceTypes.h"
#include "ui/ViewLayout.h"

#include <cmath>

ViewFixture::ViewFixture()
{
    cfg.object().ResetDeviceTypes();
    cfg.object().SetDeviceType(WhipperType, deviceType("BATIDOR", 0xF3, 1));
    view.SetDocument(&doc);
}

ViewFixture::~ViewFixture() { view.SetDocument(nullptr); }

void ViewFixture::addDevices(int n)
{
    for (int k = 1; k <= n; ++k) {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetTypeIndex(WhipperType);
        row->SetTypeName("D" + QByteArray::number(k));
        row->SetSugarFlag(0);
    }
    doc.UpdateAllViews();
}

QList<int> ViewFixture::rowsDrawn(const RecordingCanvas& dc)
{
    QList<int> ys;
    for (const RecordingCanvas::Call& line : dc.lines()) {
        if (line.pen.width == 2 && line.from.x() == ViewLayout::RowX && line.to.x() == ViewLayout::RowX)
            ys.append(line.to.y() - line.windowOrg.y());
    }
    return ys;
}

CPrintInfo ViewFixture::prepare(int horzSizeMm, int vertSizeMm)
{
    CPrintInfo info;
    info.horzSizeMm = horzSizeMm;
    info.vertSizeMm = vertSizeMm;
    EXPECT_TRUE(view.OnPreparePrinting(info, [](CPrintInfo&) { return true; }));
    return info;
}

RecordingCanvas ViewFixture::printPage(CPrintInfo& info, int page)
{
    RecordingCanvas dc(info.horzSizeMm, info.vertSizeMm);
    view.OnBeginPrinting(dc, info);
    info.currentPage = page;
    // The whole printable area, in 0.01 inch.
    info.drawRect = {0, 0, int(info.horzSizeMm / 0.254), -int(info.vertSizeMm / 0.254)};
    view.OnPrepareDC(dc, &info);
    view.OnPrint(dc, info);
    return dc;
}
