// Catches the message boxes the plugin's code shows, in every build: the
// native stand-in's handler, or the test program's own import of MessageBoxA.
#ifndef RYX_TESTS_MESSAGE_BOXES_H
#define RYX_TESTS_MESSAGE_BOXES_H

#include <stdint.h>

#include <string>
#include <vector>

struct ShownBox {
    void* owner;
    std::string text;
    std::string caption;
    uint32_t style;
};

// From now on, boxes are recorded here instead of shown. Returns false if
// they could not be caught.
bool CatchMessageBoxes();
extern std::vector<ShownBox> shownBoxes;

#endif
