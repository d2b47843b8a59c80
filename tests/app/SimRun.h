// Runs the quadrix-sim program built beside the tests (or $QUADRIX_SIM) with arguments and
// collects its exit status and output.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

inline const char* const kModes[] = {"cmdCasual",     "cmdDont",   "cmdElectric", "cmdFinal",
                                     "cmdFun",        "cmdMini",   "cmdNoRules",  "cmdOuch",
                                     "cmdRidiculous", "cmdSpeedy", "cmdVertigo",  "cmdWork"};

struct SimResult {
    int status;
    std::string out, err;
};

inline std::string Slurp(const fs::path& p) {
    std::stringstream s;
    s << std::ifstream(p).rdbuf();
    return s.str();
}

// A field of a flat one-line JSON object as written, "?" when it is missing.
inline std::string Value(const std::string& json, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    const size_t at = json.find(tag);
    if (at == std::string::npos) return "?";
    const size_t from = at + tag.size();
    return json.substr(from, json.find_first_of(",}", from) - from);
}

// tests/test_app -> ../NAME: the programs built beside the tests.
inline fs::path BuiltProgram(const char* name) {
    return fs::canonical("/proc/self/exe").parent_path().parent_path() / name;
}

inline SimResult RunProgramAt(const fs::path& program, const std::string& args) {
    const fs::path out = fs::temp_directory_path() / ("qxsim-" + std::to_string(getpid()));
    const fs::path err = out.string() + ".err";
    const int raw = std::system(
        (program.string() + " " + args + " >" + out.string() + " 2>" + err.string()).c_str());
    SimResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return r;
}

// quadrix-sim, or $QUADRIX_SIM when set.
inline SimResult Sim(const std::string& args) {
    const char* env = std::getenv("QUADRIX_SIM");
    return RunProgramAt(env ? fs::path(env) : BuiltProgram("quadrix-sim"), args);
}
