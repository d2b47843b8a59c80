// quadrix-sim under node sees the environment of its shell (HOME, XDG_CONFIG_HOME, ...), as the
// native program does, rather than the fixed one emscripten makes up.
Module["preRun"] = [function () { Object.assign(ENV, process.env); }];
