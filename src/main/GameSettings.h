// Completes the settings record before a game: the fields derived from the mode's choices.
#pragma once

// Cell sizes and the well rectangle from line thickness, cell lines, grid size and margins.
// Returns false, leaving the record as it was, when a result does not fit 32 bits.
bool CompleteSettings();

// Every field of the settings record and the screen metrics back to zero and the mouse
// setting to its default, as at the start of a run.
void ResetSharedState();
