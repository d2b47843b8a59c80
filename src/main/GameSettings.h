// Completes the settings record before a game: the fields derived from the mode's choices.
#pragma once

// Cell sizes and the well rectangle from line thickness, cell lines, grid size and margins.
void CompleteSettings();
