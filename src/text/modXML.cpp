#include "text/modXML.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace {

const std::string kCrLf = "\r\n";
constexpr size_t kErrorLimit = 1000;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}

// The old runtime's Trim: spaces only.
std::string TrimSpaces(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    const size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string ReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(s, pos, std::string::npos);
    return out;
}

std::string RemoveChars(const std::string& s, const std::string& chars) {
    std::string out;
    for (char c : s) {
        if (chars.find(c) == std::string::npos) out.push_back(c);
    }
    return out;
}

std::string NormalizeText(const std::string& s) {
    return ReplaceAll(ReplaceAll(XMLCollapseBlank(XMLTrimBlank(s)), "&lt;", "<"), "&gt;", ">");
}

// A line ends at LF, CR LF or a lone CR; false at the end of the file.
bool ReadLine(std::streambuf& in, std::string& line) {
    line.clear();
    int c = in.sbumpc();
    if (c == std::char_traits<char>::eof()) return false;
    while (c != std::char_traits<char>::eof()) {
        if (c == '\n') return true;
        if (c == '\r') {
            if (in.sgetc() == '\n') in.sbumpc();
            return true;
        }
        line.push_back(static_cast<char>(c));
        c = in.sbumpc();
    }
    return true;
}

class Reader {
  public:
    Reader(const std::string& target, XMLHandler& handler) : target_(target), handler_(handler) {
        // Only an all-blank target means the whole file; " X " itself never matches a tag.
        inside_ = TrimSpaces(target_).empty();
    }

    void Run(std::streambuf& in) {
        std::string line;
        while (ReadLine(in, line)) {
            ++line_;
            if (!line.empty()) {
                // Text before the new line holds no ">": the search for one starts here.
                const size_t searchFrom = buffer_.size();
                buffer_ += line;
                buffer_ += kCrLf;
                ProcessBuffer(searchFrom);
            }
            if (finished_ || errors_.size() >= kErrorLimit) break;
        }
    }

    void ReportOpenElements() {
        if (!errors_.empty() || names_.size() <= 1) return;
        errors_ += kCrLf + "At EOF: Missing closing tags for ";
        for (size_t i = 1; i < names_.size(); ++i) {
            if (i > 1) errors_ += ", ";
            errors_ += "<" + names_[i] + ">";
        }
        errors_ += ".";
    }

    void AddError(const std::string& message) { errors_ += message; }
    const std::string& Errors() const { return errors_; }

  private:
    std::string LinePrefix() const { return kCrLf + "Line " + std::to_string(line_) + ": "; }

    // Consumes every complete tag in the buffer; what follows the last ">" stays for later lines.
    void ProcessBuffer(size_t searchFrom) {
        size_t start = 0;
        for (;;) {
            const size_t p = buffer_.find('>', std::max(start, searchFrom));
            if (p == std::string::npos) break;
            size_t q = std::string::npos;
            for (size_t i = p; i > start; --i) {
                if (buffer_[i - 1] == '<') {
                    q = i - 1;
                    break;
                }
            }
            bool stop = false;
            if (q == std::string::npos) {
                // Also covers a ">" first in the buffer, which leaves nothing to search.
                const size_t len = p - start + 1;
                const std::string near =
                    len < 6 ? buffer_.substr(start, len) : buffer_.substr(p - 5, 6);
                errors_ +=
                    LinePrefix() + "Found a corrupt tag near '" + near + "'. No BigBegining '<'.";
            } else {
                stop = ProcessTag(start, q, p);
            }
            start = p + 1;
            if (stop) break;
        }
        buffer_.erase(0, start);
    }

    // True when the target element has ended and reading is over.
    bool ProcessTag(size_t start, size_t q, size_t p) {
        const std::string raw = buffer_.substr(q + 1, p - q - 1);
        const std::string tag = TrimSpaces(Upper(ReplaceAll(raw, kCrLf, "")));
        if (!inside_ && tag != target_) return false;
        inside_ = true;
        if (tag.empty()) {
            errors_ += LinePrefix() + "Found an empty tag '<>'.";
            return false;
        }
        if (tag[0] == '/') {
            const std::string name = TrimSpaces(tag.substr(1));
            if (name == "!") {
                --commentDepth_;
                return false;
            }
            if (commentDepth_ != 0) return false;
            if (names_.size() > 1 && name == names_.back()) {
                if (!hasChildren_.back()) {
                    Call(name, NormalizeText(buffer_.substr(start, q - start)), name);
                }
                Call(name + ">", "", name);
                PopTo(names_.size() - 1);
            } else {
                errors_ += LinePrefix() + "End tag '" + raw +
                           "' appears before required end tag for '" + names_.back() + "'.";
                // The count spares a walk down a deep stack for a name that is not open.
                const auto open = openCount_.find(name);
                if (open != openCount_.end() && open->second > 0) {
                    size_t i = names_.size() - 1;
                    while (i > 1 && names_[i] != name)
                        --i;
                    PopTo(i);
                }
            }
            if (!target_.empty() && name == target_) {
                finished_ = true;
                inside_ = false;
                return true;
            }
            return false;
        }
        if (tag == "!") {
            ++commentDepth_;
            return false;
        }
        if (commentDepth_ != 0) return false;
        Call("<" + tag, "", tag);
        hasChildren_.back() = true;
        names_.push_back(tag);
        hasChildren_.push_back(false);
        ++openCount_[tag];
        context_.push_back(tag);
        return false;
    }

    void Call(std::string tag, std::string text, const std::string& name) {
        std::string err;
        handler_.XMLCallBack(tag, text, context_, err);
        // The handler gets a copy of the stack it may change; ours stays whole.
        if (context_.size() != names_.size()) context_ = names_;
        if (!err.empty()) errors_ += LinePrefix() + "'" + name + "' Tag. " + err + ".";
    }

    // Removes the element at index i and everything inside it; the sentinel stays.
    void PopTo(size_t i) {
        if (i < 1 || i >= names_.size()) return;
        while (names_.size() > i) {
            --openCount_[names_.back()];
            names_.pop_back();
        }
        hasChildren_.resize(i);
        context_.resize(i);
    }

    std::string target_;
    XMLHandler& handler_;
    std::vector<std::string> names_{""};
    std::vector<bool> hasChildren_{false};
    std::unordered_map<std::string, size_t> openCount_;
    // What the handler sees as pContext: the names, kept in step push by push.
    std::vector<std::string> context_{""};
    std::string buffer_;
    std::string errors_;
    int64_t line_ = 0;
    int64_t commentDepth_ = 0;
    bool inside_ = false;
    bool finished_ = false;
};

}  // namespace

std::string XMLTrimBlank(const std::string& pText) {
    size_t first = 0;
    while (first < pText.size() && IsBlank(pText[first]))
        ++first;
    size_t last = pText.size();
    while (last > first && IsBlank(pText[last - 1]))
        --last;
    return pText.substr(first, last - first);
}

std::string XMLCollapseBlank(const std::string& pText) {
    const std::string twoBreaks = kCrLf + kCrLf;
    std::string out;
    std::string separator;
    for (char c : pText) {
        if (!IsBlank(c)) {
            out += separator;
            out.push_back(c);
            separator.clear();
        } else if (c == '\r' || c == '\n') {
            if (separator != twoBreaks) separator += kCrLf;
        } else if (separator.empty()) {
            separator.push_back(' ');  // not = " ": GCC 12 warns falsely about that at -O3
        }
    }
    return out;
}

std::string XMLParseFile(const std::string& pFileName, const std::string& pTag,
                         XMLHandler& pHandler) {
    const std::string target = RemoveChars(Upper(TrimSpaces(pTag)), "<>");
    Reader reader(target, pHandler);
    std::error_code ec;
    std::ifstream file;
    if (!std::filesystem::is_directory(pFileName, ec)) file.open(pFileName, std::ios::binary);
    if (!file.is_open()) {
        // A file we cannot read must not look like a file that read cleanly.
        reader.AddError(kCrLf + "Can't open the file.");
    } else {
        reader.Run(*file.rdbuf());
        file.close();
        reader.ReportOpenElements();
    }
    if (reader.Errors().empty()) return "";
    return "Errors encountered processing:" + kCrLf + pFileName + kCrLf + reader.Errors();
}
