#include "title/frmTitle.h"

frmTitle::frmTitle() : Form("frmTitle") {
    Caption = "Quadrix";
    hscMouse.Min = 0;
    hscMouse.Max = 199;
    hscMouse.SetValue(100);
    Add(hscMouse);
}

frmTitle& TitleForm() {
    static frmTitle form;
    return form;
}
