#pragma once

class clsWalls {
public:
    void Terminate() {}
};
