// The tool box behind the Tools toolbar: which tool clicks on a page use, and each tool's
// options.
#pragma once

#include "QKDefs.h"

class QK_API CQKTBox {
public:
    // The tool numbers are the Tools toolbar's buttons in order: 0 pointer, 1 zoom, 2 text,
    // 5 data selector, 6 arrow, 7 line, 8 rectangle, 9 ellipse.
    // With `options` 0 the tool becomes the checked one. With 1 the tool's options open:
    // the text tool's are the look of new labels, edited in the label dialog of the active
    // page's kind and kept as the labels' defaults when the dialog is confirmed. The other
    // tools have no options. FALSE when nothing was set or changed.
    BOOL set_nth_tools_from_SDK(int n, int options);
};
