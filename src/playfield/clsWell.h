#pragma once

class clsWell {
public:
    void Terminate() {}
};
