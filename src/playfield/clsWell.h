// The well: the walkable area repainted in the path colour every tick, with its start and goal
// pockets and their outline bars.
#pragma once

class clsWell {
  public:
    void Initialize() {}
    void DrawBackground();
    void Terminate() {}
};
