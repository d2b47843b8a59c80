#pragma once

class clsMan {
public:
    void Terminate() {}
};
