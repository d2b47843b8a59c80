// The page's side of the browser back end (library.js, linked with --js-library).
#pragma once

#include <cstdint>

extern "C" {
// Finds the canvas and starts listening to the page's input.
void qx_web_init();
// The game's screen in device pixels (the canvas filling the page), or ?screen=WxH.
void qx_web_screen(int32_t* width, int32_t* height);
// Shows width x height RGBA pixels.
void qx_web_present(const uint32_t* rgba, int32_t width, int32_t height);
// The oldest pending input event into event[0..3] (see WebBackend.cpp) and, for keys, its
// KeyboardEvent.code into code; 0 when none is left.
int qx_web_next_event(int32_t* event, char* code, int32_t codeSize);
// Hides the pointer and locks it to the page (the mouse steers by its movements), or shows it.
void qx_web_cursor(int hidden);
// The first connected gamepad: 0 for none, else 1 with its standard layout or 2 without; its
// axes and button values, up to the given counts, which it sets to how many it wrote.
int qx_web_gamepad(double* axes, int32_t* numAxes, double* buttons, int32_t* numButtons, char* name,
                   int32_t nameSize);
// A message box drawn over the page, and its answer: -1 while open, 1 for OK or Yes, 0 for No.
void qx_web_box_open(const char* title, const char* text, int yesNo);
int qx_web_box_answer();
// Gives the browser the page for ms milliseconds (Asyncify): it paints and delivers input.
void qx_web_sleep(uint32_t ms);
}

// The page's services to the program.
extern "C" {
// The file's text kept in the browser (localStorage) under the key, or removed when the file is
// gone; and written back into the file system at the next start.
void qx_web_keep_file(const char* path, const char* key);
void qx_web_restore_file(const char* path, const char* key);
// Offers the file for download as name (a link on the page); an empty path takes the offer away.
void qx_web_offer_file(const char* path, const char* name);
// A replay dropped on the page before it reloaded, written to path: 1, or 0 for none.
int qx_web_take_dropped(const char* path);
// Shows a sentence on the page for good (a playback's verdict, the program's end), and, for
// tests, as document.body.dataset.verdict.
void qx_web_say(const char* text);
// What the program is doing, as document.body.dataset.status (for tests).
void qx_web_status(const char* text);
// The page address's parameter (?name=value) into value: 1, or 0 when it has none.
int qx_web_param(const char* name, char* value, int32_t size);
}
