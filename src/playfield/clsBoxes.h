#pragma once

class clsBoxes {
public:
    void Terminate() {}
};
