// The title window: the first window of the program and the one every game returns to.
#pragma once

#include "platform/window/Form.h"
#include "platform/window/HScrollBar.h"

class frmTitle : public platform::Form {
  public:
    frmTitle();

    // Mouse sensitivity, 0 to 199; the game's mouse steering reads it every pass.
    platform::HScrollBar hscMouse{"hscMouse"};
};

// The single title-form instance.
frmTitle& TitleForm();
