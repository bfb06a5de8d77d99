#pragma once

// One print or preview run as the view sees it: the page range, the page being printed,
// the drawing rectangle of that page and what the printer measures.
struct CPrintInfo {
    // The drawing rectangle in 0.01 inch, y upwards: the printable area from (0, 0) to
    // (right, bottom), bottom negative. The page header lowers its top.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        bool operator==(const Rect&) const = default;
    };

    bool direct = false;  // printing without the print dialog
    bool preview = false; // drawing into the print preview
    int minPage = 1;
    int maxPage = 1; // the page count the footer shows
    // The pages to print, within minPage..maxPage.
    int fromPage = 1;
    int toPage = 1;
    int currentPage = 1;
    int previewPages = 1;
    Rect drawRect;
    // The printable area of the chosen printer in whole millimetres.
    int horzSizeMm = 0;
    int vertSizeMm = 0;
};
