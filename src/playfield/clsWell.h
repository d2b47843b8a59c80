// The well: the walkable area repainted in the path colour every tick, with its start and goal
// pockets and their outline bars.
#pragma once

class Backdrop;

class clsWell {
  public:
    void Initialize() {}
    // Paints the well now, after whatever the form's backdrop still keeps.
    void DrawBackground();
    // Adds the well's boxes to those to be painted under the walls.
    void QueueBackground(Backdrop& into);
    void Terminate() {}
};
