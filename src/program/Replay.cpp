#include "program/Replay.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
#include "platform/Fatal.h"
#include "platform/Random.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/ReadFile.h"
#include "platform/headless/FrameFile.h"
#include "platform/headless/ReplayBackend.h"
#include "playfield/clsBoxes.h"
#include "playfield/clsMan.h"
#include "playfield/clsWalls.h"
#include "program/Program.h"
#include "title/frmTitle.h"
#include "title/modModeArgs.h"

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

constexpr uint32_t kJoystickIds = 16;

std::string Hex(uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

std::string ProgramVersion() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace

std::string FormatReplay(const ReplayFile& r) {
    std::ostringstream s;
    s << "quadrix-replay " << r.format << "\n";
    s << "program " << ProgramVersion() << "\n";
    s << "mode " << (r.choice.mode ? std::string(ModeControlName(*r.choice.mode)) : "none");
    OptionFlags flags = r.choice.flags;
    for (const char* word : kOptionWords)
        if (*OptionFlag(flags, word)) s << " " << word;
    s << "\nscreen " << r.width << "x" << r.height << "\n";
    s << "seed " << r.seed << "\n";
    s << "mouse " << r.mouse << "\n";
    s << r.body;
    s << "end passes " << r.passes << " hash " << Hex(r.hash) << "\n";
    return s.str();
}

std::string CheckpointText(const ReplayCheckpoint& c) {
    return "hash " + Hex(c.hash) + " state " + std::to_string(c.state) + " counter " +
           std::to_string(c.counter) + " x " + std::to_string(c.x) + " y " + std::to_string(c.y) +
           " hit " + (c.hit ? "1" : "0") + " walls " + std::to_string(c.walls) + " sum " +
           std::to_string(c.wallSum) + " boxes " + std::to_string(c.boxes);
}

ReplayCheckpoint CurrentCheckpoint(uint64_t pass) {
    const frmMain& form = MainForm();
    ReplayCheckpoint c;
    c.pass = pass;
    c.hash = platform::FrameHash(*form.picMain.image());
    c.state = form.mState;
    c.counter = form.mStateCounter;
    c.x = form.mMan->mX;
    c.y = form.mMan->mY;
    c.hit = form.mMan->Hit;
    c.walls = form.mWalls->LiveCount();
    c.wallSum = form.mWalls->Checksum();
    c.boxes = form.mBoxes->LiveCount();
    return c;
}

namespace {

// A check line's fields; false unless it is exactly as CheckpointText writes it.
bool ParseCheckpoint(const std::vector<std::string>& w, const std::string& line,
                     ReplayCheckpoint& c) {
    if (w.size() != 21 || w[1] != "pass" || !Whole(w[2], c.pass) || w[4].size() != 16 ||
        !Whole(w[4], c.hash, 16))
        return false;
    int32_t* const ints[] = {&c.state, &c.counter, &c.x, &c.y, nullptr, &c.walls};
    int32_t hit = 0;
    for (size_t i = 0; i < std::size(ints); ++i)
        if (!Whole(w[6 + 2 * i], ints[i] ? *ints[i] : hit)) return false;
    if (!Whole(w[18], c.wallSum) || !Whole(w[20], c.boxes) || hit < 0 || hit > 1) return false;
    c.hit = hit == 1;
    // Names, order and spelling of every number as written, nothing else.
    return line == "check pass " + std::to_string(c.pass) + " " + CheckpointText(c);
}

// Why the recorder would never have written this parsed event line, or "".
std::string UnrecordedEvent(const platform::ScriptEvent& e) {
    using K = platform::ScriptEventKind;
    switch (e.kind) {
        case K::MouseDown:
        case K::MouseUp:
            return "mouse button lines are not recorded (buttons are keys)";
        case K::Click:
            return "clicks are not recorded";
        case K::Answer:
            return "message box answers are not recorded";
        case K::Close:
            if (!e.name.empty()) return "a recorded close names no form";
            if (e.mode == platform::UnloadMode::Code) return "a close from code is not recorded";
            break;
        case K::JoystickPlug:
        case K::JoystickUnplug:
        case K::JoystickReport:
            if (e.joyId >= kJoystickIds) return "joystick numbers go from 0 to 15";
            break;
        default:
            break;
    }
    return "";
}

}  // namespace

bool ParseReplay(const std::string& text, const std::string& fileName, ReplayFile& out,
                 std::string& error) {
    out = ReplayFile{};
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = fileName + ":" + std::to_string(number) + ": " + why;
        out = ReplayFile{};
        return false;
    };
    // The header's keywords in the order they must come.
    const char* const header[] = {"quadrix-replay", "program", "mode", "screen", "seed", "mouse"};
    size_t next = 0;
    bool ended = false;
    uint64_t lastPass = 0;  // of the events so far
    int lastPassLine = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        std::string line = text.substr(start, std::min(stop - start, kMaxReplayLine + 2));
        const size_t length = stop - start;
        start = stop + 1;
        ++number;
        if (line.find('\0') != std::string::npos) return fail("a NUL byte: not a text file");
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (length > kMaxReplayLine + 1 || line.size() > kMaxReplayLine)
            return fail("a line longer than " + std::to_string(kMaxReplayLine) + " characters");
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
                if (w.size() != 2 || !Whole(w[1], out.format))
                    return fail("bad format line: " + line);
                if (out.format != 1 && out.format != kReplayFormat)
                    return fail("replay format " + w[1] + ", this program reads formats 1 and " +
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
                size_t option = 0;
                for (size_t i = 2; i < w.size(); ++i) {
                    bool* flag = OptionFlag(out.choice.flags, w[i]);
                    if (!flag) return fail("unknown option '" + w[i] + "'");
                    while (option < std::size(kOptionWords) && w[i] != kOptionWords[option])
                        ++option;
                    if (option++ == std::size(kOptionWords))
                        return fail(
                            "options come once each, in the order ouch anarchy solid "
                            "pieces speed: " +
                            line);
                    *flag = true;
                }
            } else if (key == "screen") {
                const size_t x = w.size() == 2 ? w[1].find('x') : std::string::npos;
                if (x == std::string::npos || !Whole(w[1].substr(0, x), out.width) ||
                    !Whole(w[1].substr(x + 1), out.height))
                    return fail("bad screen line (want screen WxH): " + line);
                if (out.width < kMinReplayWidth || out.height < kMinReplayHeight ||
                    out.width > kMaxReplayWidth || out.height > kMaxReplayHeight)
                    return fail("screen " + w[1] + " is not one the game records (" +
                                std::to_string(kMinReplayWidth) + "x" +
                                std::to_string(kMinReplayHeight) + " to " +
                                std::to_string(kMaxReplayWidth) + "x" +
                                std::to_string(kMaxReplayHeight) + ")");
            } else if (key == "seed") {
                if (w.size() != 2 || !Whole(w[1], out.seed)) return fail("bad seed line: " + line);
            } else if (key == "mouse") {
                if (w.size() != 2 || !Whole(w[1], out.mouse) || out.mouse < 0 || out.mouse > 199)
                    return fail("bad mouse line (want 0 to 199): " + line);
            }
            continue;
        }
        // "mouse down left" is an event line; "mouse 100" a second header line.
        if (std::find(std::begin(header), std::end(header), w[0]) != std::end(header) &&
            (w[0] != "mouse" || w.size() == 2))
            return fail("a second '" + w[0] + "' line");
        if (w[0] == "end") {
            if (w.size() != 5 || w[1] != "passes" || !Whole(w[2], out.passes) || w[3] != "hash" ||
                w[4].size() != 16 || !Whole(w[4], out.hash, 16))
                return fail("bad end line (want end passes N hash HEX): " + line);
            if (out.passes == 0 || out.passes > kMaxReplayPasses)
                return fail("end passes " + w[2] + ": a recorded game has 1 to " +
                            std::to_string(kMaxReplayPasses) + " passes");
            // The last pass pumps the events of the window after it.
            if (lastPass > out.passes + 1)
                return fail("the game ends at pass " + w[2] + ", before the events at pass " +
                            std::to_string(lastPass) + " (line " + std::to_string(lastPassLine) +
                            ")");
            if (!out.checks.empty() && out.checks.back().pass > out.passes)
                return fail("the game ends at pass " + w[2] + ", before its check at pass " +
                            std::to_string(out.checks.back().pass));
            if (out.format != 1 && out.checks.size() != out.passes / kCheckEvery)
                return fail(std::to_string(out.passes) + " passes need " +
                            std::to_string(out.passes / kCheckEvery) + " check lines, found " +
                            std::to_string(out.checks.size()));
            ended = true;
            continue;
        }
        if (w[0] == "check") {
            ReplayCheckpoint c;
            if (out.format == 1) return fail("check lines came with replay format 2: " + line);
            if (!ParseCheckpoint(w, line, c))
                return fail("bad check line (want check pass N " + CheckpointText({}) +
                            "): " + line);
            const uint64_t previous = out.checks.empty() ? 0 : out.checks.back().pass;
            if (c.pass % kCheckEvery != 0 || c.pass != previous + kCheckEvery)
                return fail("a check line every " + std::to_string(kCheckEvery) +
                            " passes, the next at pass " + std::to_string(previous + kCheckEvery) +
                            ": " + line);
            out.checks.push_back(c);
            out.body += line;
            out.body += '\n';
            continue;
        }
        uint64_t pass = 0;
        if (w[0] == "at") {
            if (w.size() > 1 && w[1] == "ms") return fail("timed events are not recorded: " + line);
            if (w.size() < 4 || w[1] != "pass" || !Whole(w[2], pass) || pass == 0 ||
                pass > kMaxReplayPasses + 1)
                return fail("bad pass number (want at pass 1 to " +
                            std::to_string(kMaxReplayPasses + 1) + "): " + line);
            if (pass < lastPass)
                return fail("pass " + w[2] + " comes after pass " + std::to_string(lastPass) +
                            ": " + line);
        } else if (lastPass != 0) {
            return fail("the game's load comes before its passes: " + line);
        }
        lastPass = pass;
        lastPassLine = number;
        const size_t before = out.script.events.size();
        std::string why;
        if (!platform::HeadlessScript::Parse(line, out.script, &why) ||
            out.script.events.size() != before + 1)
            return fail("not an event: " + line);
        why = UnrecordedEvent(out.script.events.back());
        if (!why.empty()) return fail(why + ": " + line);
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
    const platform::FileRead file = platform::ReadWholeFile(path, kMaxReplayBytes);
    if (file.status != platform::FileRead::Read) {
        out = ReplayFile{};
        error = path + ": the file " + file.problem;
        return false;
    }
    return ParseReplay(file.text, path, out, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    if (platform::WriteFileAtomically(path, text, error)) return true;
    error = "cannot write '" + path + "': " + error;
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

void KeepGameInProgress();

struct Session {
    std::string recordPath;
    bool keepLast = false;
    std::optional<GameChoice> choice;
    uint64_t seed = 0;
    bool reseed = false;
    ReplayFile header;  // of the game being recorded
    std::optional<GameOutcome> outcome;
    // Of a playback: the recorded pass count (0: not a playback), its checks, and the first
    // check that differed.
    uint64_t playbackPasses = 0;
    std::vector<ReplayCheckpoint> expected;
    std::string firstDifference;
    uint64_t differsAt = 0;
    platform::ExitStep keepOnFatal{KeepGameInProgress};
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

bool Keep(const std::string& path, const std::string& text) {
    std::string error;
    if (WriteFileAtomically(path, text, error)) return true;
    std::cerr << "quadrix: the replay was not kept: " << error << "\n";
    return false;
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
        s.header.mouse = gMouse;
    }
    s.choice.reset();
}

void GameLoopStarts() {
    if (platform::ReplayRecorder* recorder = Recorder()) recorder->LoopStarts();
    if (platform::ReplayPlayer* player = Player()) player->LoopStarts();
}

void ExpectPlayback(const ReplayFile& replay) {
    Session& s = TheSession();
    s.playbackPasses = replay.passes;
    s.expected = replay.checks;
    s.firstDifference.clear();
    s.differsAt = 0;
}

void GamePassEnded(uint64_t pass) {
    Session& s = TheSession();
    // A recording cut at a pass limit ends there, and one that went another way ends there
    // too instead of playing on for ever. Before the check: a cut recording's came first too.
    if (s.playbackPasses != 0 && pass >= s.playbackPasses) MainForm().mState = GameState::Over;
    if (pass % kCheckEvery == 0) {
        platform::ReplayRecorder* recorder = Recorder();
        if (recorder && recorder->Recording())
            recorder->Note("check pass " + std::to_string(pass) + " " +
                           CheckpointText(CurrentCheckpoint(pass)));
        const size_t index = pass / kCheckEvery - 1;
        if (s.playbackPasses != 0 && s.firstDifference.empty() && index < s.expected.size()) {
            const ReplayCheckpoint now = CurrentCheckpoint(pass);
            if (!(now == s.expected[index])) {
                s.differsAt = pass;
                s.firstDifference = "first differs at pass " + std::to_string(pass) + ": state " +
                                    CheckpointText(now) + ", recorded " +
                                    CheckpointText(s.expected[index]);
            }
        }
    }
}

namespace {

// Ends the recording with an end line of passes and hash, keeps it where the session says and
// returns its text; kept turns false where a place could not have it.
std::string KeepRecording(platform::ReplayRecorder& recorder, uint64_t passes, uint64_t hash,
                          bool& kept) {
    Session& s = TheSession();
    s.header.body = recorder.End();
    s.header.passes = passes;
    s.header.hash = hash;
    std::string text = FormatReplay(s.header);
    if (!s.recordPath.empty()) kept = Keep(s.recordPath, text) && kept;
    if (s.keepLast) {
        const std::string last = LastReplayPath();
        if (last.empty()) {
            std::cerr << "quadrix: the replay was not kept: no HOME or XDG_DATA_HOME\n";
            kept = false;
        } else {
            kept = Keep(last, text) && kept;
        }
    }
    return text;
}

// On the way out through Fatal: the game so far, up to the pass under way and the playfield
// as it is, so that a report of the fault comes with the game that led to it. A game that
// failed while it loaded is kept with one pass, as the reader wants at least one.
void KeepGameInProgress() {
    platform::ReplayRecorder* recorder = Recorder();
    if (!recorder || !recorder->Recording()) return;
    const uint64_t passes = std::max<uint64_t>(recorder->Window(), 1);
    bool kept = true;
    KeepRecording(*recorder, passes, platform::FrameHash(*MainForm().picMain.image()), kept);
}

}  // namespace

void GameEnded(uint64_t passes, uint64_t hash) {
    Session& s = TheSession();
    GameOutcome outcome{passes, hash, "", std::move(s.firstDifference), s.differsAt};
    s.playbackPasses = s.differsAt = 0;
    s.expected.clear();
    s.firstDifference.clear();
    platform::ReplayRecorder* recorder = Recorder();
    if (recorder && recorder->Recording())
        outcome.recorded = KeepRecording(*recorder, passes, hash, outcome.kept);
    if (platform::ReplayPlayer* player = Player()) player->Finish();
    s.outcome = std::move(outcome);
}

const std::optional<GameOutcome>& LastGameOutcome() {
    return TheSession().outcome;
}

PlaybackVerdict JudgePlayback(const ReplayFile& replay, bool stopped) {
    const std::optional<GameOutcome>& o = LastGameOutcome();
    const uint64_t passes = o ? o->passes : 0, hash = o ? o->hash : 0;
    PlaybackVerdict v;
    v.same = o && passes == replay.passes && hash == replay.hash && o->firstDifference.empty();
    const std::string of = std::to_string(passes) + " of " + std::to_string(replay.passes);
    if (v.same)
        v.text = "as recorded: " + std::to_string(passes) + " passes, final hash " + Hex(hash);
    else if (stopped)
        v.text = "stopped at pass " + of;
    else
        v.text = "DIFFERENT from the recording: ended at pass " + of + ", final hash " + Hex(hash) +
                 " (recorded " + Hex(replay.hash) + ")";
    if (o && !o->firstDifference.empty()) v.text += "; " + o->firstDifference;
    return v;
}

PlaybackVerdict PlayBack(const ReplayFile& replay, const platform::ReplayPlayer& player) {
    StartProgram();
    gMouse = replay.mouse;
    ChooseGame(replay.choice, replay.seed);
    ApplyChoice(replay.choice);
    ExpectPlayback(replay);
    PlayGame();
    return JudgePlayback(replay, player.Stopped());
}

void InstallSessionHooks() {
    MainForm().Hooks = GameHooks{GameLoading, GameLoopStarts, GamePassEnded, GameEnded};
    TitleForm().OnGameChosen = [](const GameChoice& choice) { ChooseGame(choice); };
}
