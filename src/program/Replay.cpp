#include "program/Replay.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "input/clsJoystick.h"
#include "main/frmMain.h"
#include "main/modMain.h"
#include "platform/Backend.h"
#include "platform/Random.h"
#include "platform/headless/ReplayBackend.h"
#include "title/frmTitle.h"

namespace {

constexpr const char* kOptionWords[] = {"ouch", "anarchy", "solid", "pieces", "speed"};

bool* OptionFlag(OptionFlags& f, const std::string& word) {
    bool* flags[] = {&f.ouch, &f.anarchy, &f.solid, &f.pieces, &f.speed};
    for (size_t i = 0; i < 5; ++i)
        if (word == kOptionWords[i]) return flags[i];
    return nullptr;
}

template <typename T>
bool Whole(const std::string& word, T& out, int base = 10) {
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, out, base);
    return !word.empty() && ec == std::errc() && ptr == end;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;)
        w.push_back(word);
    return w;
}

std::string ProgramVersion() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace

std::string FormatReplay(const ReplayFile& r) {
    std::ostringstream s;
    s << "quadrix-replay " << kReplayFormat << "\n";
    s << "program " << ProgramVersion() << "\n";
    s << "mode " << (r.choice.mode ? std::string(ModeControlName(*r.choice.mode)) : "none");
    OptionFlags flags = r.choice.flags;
    for (const char* word : kOptionWords)
        if (*OptionFlag(flags, word)) s << " " << word;
    s << "\nscreen " << r.width << "x" << r.height << "\n";
    s << "seed " << r.seed << "\n";
    s << "mouse " << r.mouse << "\n";
    s << r.body;
    char hash[20];
    std::snprintf(hash, sizeof hash, "%016" PRIx64, r.hash);
    s << "end passes " << r.passes << " hash " << hash << "\n";
    return s.str();
}

bool ParseReplay(const std::string& text, const std::string& fileName, ReplayFile& out,
                 std::string& error) {
    out = ReplayFile{};
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = fileName + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    // The header's keywords in the order they must come.
    const char* const header[] = {"quadrix-replay", "program", "mode", "screen", "seed", "mouse"};
    size_t next = 0;
    bool ended = false;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> w = Words(line);
        if (w.empty() || w[0][0] == '#') continue;
        if (ended) return fail("text after the end line: " + line);
        if (next < std::size(header)) {
            if (w[0] != header[next]) {
                if (next == 0) return fail("not a quadrix replay (no 'quadrix-replay' line)");
                return fail(std::string("expected the '") + header[next] +
                            "' line, found: " + line);
            }
            ++next;
            const std::string& key = w[0];
            if (key == "quadrix-replay") {
                int format = 0;
                if (w.size() != 2 || !Whole(w[1], format)) return fail("bad format line: " + line);
                if (format != kReplayFormat)
                    return fail("replay format " + w[1] + ", this program reads format " +
                                std::to_string(kReplayFormat));
            } else if (key == "program") {
                if (w.size() != 2) return fail("bad program line: " + line);
                if (w[1] != ProgramVersion())
                    return fail("recorded by quadrix " + w[1] + ", this is quadrix " +
                                ProgramVersion() + ": its games may play differently");
            } else if (key == "mode") {
                if (w.size() < 2) return fail("bad mode line: " + line);
                out.choice.mode = ModeFromControlName(w[1]);
                if (!out.choice.mode) return fail("unknown mode '" + w[1] + "'");
                for (size_t i = 2; i < w.size(); ++i) {
                    bool* flag = OptionFlag(out.choice.flags, w[i]);
                    if (!flag) return fail("unknown option '" + w[i] + "'");
                    *flag = true;
                }
            } else if (key == "screen") {
                const size_t x = w.size() == 2 ? w[1].find('x') : std::string::npos;
                if (x == std::string::npos || !Whole(w[1].substr(0, x), out.width) ||
                    !Whole(w[1].substr(x + 1), out.height) || out.width < 1 || out.height < 1 ||
                    out.width > 65535 || out.height > 65535)
                    return fail("bad screen line (want screen WxH): " + line);
            } else if (key == "seed") {
                if (w.size() != 2 || !Whole(w[1], out.seed)) return fail("bad seed line: " + line);
            } else if (key == "mouse") {
                if (w.size() != 2 || !Whole(w[1], out.mouse) || out.mouse < 0 || out.mouse > 199)
                    return fail("bad mouse line (want 0 to 199): " + line);
            }
            continue;
        }
        if (w[0] == "end") {
            if (w.size() != 5 || w[1] != "passes" || !Whole(w[2], out.passes) || w[3] != "hash" ||
                w[4].size() != 16 || !Whole(w[4], out.hash, 16))
                return fail("bad end line (want end passes N hash HEX): " + line);
            ended = true;
            continue;
        }
        std::string why;
        if (!platform::HeadlessScript::Parse(line, out.script, &why))
            return fail("not an event: " + line);
        out.body += line;
        out.body += '\n';
    }
    if (next == 0) return fail("not a quadrix replay (empty)");
    if (next < std::size(header))
        return fail(std::string("cut short: no '") + header[next] + "' line");
    if (!ended) return fail("cut short: no end line");
    return true;
}

bool ReadReplayFile(const std::string& path, ReplayFile& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read it (" + std::strerror(errno) + ")";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseReplay(text.str(), path, out, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            error = "cannot make the folder " + target.parent_path().string() + ": " + ec.message();
            return false;
        }
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    const int savedErrno = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
    ::unlink(temp.c_str());
    return false;
}

std::string LastReplayPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/quadrix/last.qxr";
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) return "";
    return std::string(home) + "/.local/share/quadrix/last.qxr";
}

namespace {

struct Session {
    std::string recordPath;
    bool keepLast = false;
    std::optional<GameChoice> choice;
    uint64_t seed = 0;
    bool reseed = false;
    ReplayFile header;  // of the game being recorded
    std::optional<GameOutcome> outcome;
};

Session& TheSession() {
    static Session s;
    return s;
}

platform::ReplayRecorder* Recorder() {
    if (!platform::HasBackend()) return nullptr;
    return dynamic_cast<platform::ReplayRecorder*>(&platform::CurrentBackend());
}

platform::ReplayPlayer* Player() {
    if (!platform::HasBackend()) return nullptr;
    return dynamic_cast<platform::ReplayPlayer*>(&platform::CurrentBackend());
}

// From the shared source, which the program seeds from the clock: games differ from run to
// run, while a simulator run from a fixed seed stays the same every time.
uint64_t FreshSeed() {
    return quadrix::SharedRandom().Raw();
}

void Keep(const std::string& path, const std::string& text) {
    std::string error;
    if (!WriteFileAtomically(path, text, error))
        std::cerr << "quadrix: the replay was not kept: " << error << "\n";
}

}  // namespace

void SetReplayTargets(const std::string& recordPath, bool keepLast) {
    TheSession().recordPath = recordPath;
    TheSession().keepLast = keepLast;
}

void ChooseGame(const GameChoice& choice, std::optional<uint64_t> seed) {
    Session& s = TheSession();
    s.choice = choice;
    s.seed = seed ? *seed : FreshSeed();
    s.reseed = true;
    quadrix::SharedRandom().Seed(s.seed);
}

void GameLoading() {
    Session& s = TheSession();
    // What ran between the choice and the load (the title's last frame) drew from the source:
    // the game starts from the seed again.
    if (s.reseed) quadrix::SharedRandom().Seed(s.seed);
    s.reseed = false;
    platform::ReplayRecorder* recorder = Recorder();
    if (recorder && s.choice) {
        const bool joystick = gJoystick && !gJoystick->Dead();
        recorder->Begin(joystick ? gJoystick->Number() : -1,
                        joystick ? gJoystick->Caps().wCaps : 0);
        s.header = ReplayFile{};
        s.header.choice = *s.choice;
        s.header.seed = s.seed;
        s.header.width = gScreenWidth;
        s.header.height = gScreenHeight;
        s.header.mouse = TitleForm().hscMouse.Value();
    }
    s.choice.reset();
}

void GameLoopStarts() {
    if (platform::ReplayRecorder* recorder = Recorder()) recorder->LoopStarts();
    if (platform::ReplayPlayer* player = Player()) player->LoopStarts();
}

void GameEnded(uint64_t passes, uint64_t hash) {
    Session& s = TheSession();
    GameOutcome outcome{passes, hash, ""};
    platform::ReplayRecorder* recorder = Recorder();
    if (recorder && recorder->Recording()) {
        s.header.body = recorder->End();
        s.header.passes = passes;
        s.header.hash = hash;
        outcome.recorded = FormatReplay(s.header);
        if (!s.recordPath.empty()) Keep(s.recordPath, outcome.recorded);
        if (s.keepLast) {
            const std::string last = LastReplayPath();
            if (last.empty())
                std::cerr << "quadrix: the replay was not kept: no HOME or XDG_DATA_HOME\n";
            else
                Keep(last, outcome.recorded);
        }
    }
    if (platform::ReplayPlayer* player = Player()) player->Finish();
    s.outcome = std::move(outcome);
}

const std::optional<GameOutcome>& LastGameOutcome() {
    return TheSession().outcome;
}

void InstallSessionHooks() {
    MainForm().Hooks = GameHooks{GameLoading, GameLoopStarts, GameEnded};
    TitleForm().OnGameChosen = [](const GameChoice& choice) { ChooseGame(choice); };
}
