#include "main/frmMain.h"

#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "playfield/clsWell.h"

frmMain::frmMain() = default;
frmMain::~frmMain() = default;

HDC frmMain::hDC() const {
    return picMain.hDC();
}

frmMain& MainForm() {
    static frmMain form;
    return form;
}
