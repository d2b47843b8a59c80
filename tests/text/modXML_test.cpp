#include "text/modXML.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct Event {
    std::string tag, text;
    std::vector<std::string> context;
    bool operator==(const Event&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Event& e) {
    os << "{" << e.tag << "|" << e.text << "|";
    for (const auto& c : e.context)
        os << c << ",";
    return os << "}";
}
using Events = std::vector<Event>;

class Recorder : public XMLHandler {
  public:
    void XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                     std::string& pErr) override {
        EXPECT_TRUE(pErr.empty());
        events.push_back({pTag, pText, pContext});
        if (pTag == errorOnTag) pErr = "bad value";
        if (clearContext) pContext.clear();
    }
    Events events;
    std::string errorOnTag = "-";
    bool clearContext = false;
};

std::string PathOf(const std::string& name) {
    return ::testing::TempDir() + "qx_xml_" + name;
}

// Writes content to a file, parses it and returns the messages after the report's header
// ("" when the result is empty).
std::string Parse(const std::string& name, const std::string& content, Recorder& r,
                  const std::string& target = "") {
    std::ofstream(PathOf(name), std::ios::binary) << content;
    const std::string result = XMLParseFile(PathOf(name), target, r);
    if (result.empty()) return "";
    const std::string header = "Errors encountered processing:\r\n" + PathOf(name) + "\r\n";
    EXPECT_EQ(result.substr(0, header.size()), header);
    return result.substr(header.size());
}

}  // namespace

TEST(ModXML, EventSequences) {
    Recorder r;
    EXPECT_EQ(Parse("simple", "<A>\n5\n</A>\n", r), "");
    EXPECT_EQ(r.events, (Events{{"<A", "", {""}}, {"A", "5", {"", "A"}}, {"A>", "", {"", "A"}}}));

    // A parent with a child gets no text event; names are upper-cased; CR LF endings work.
    Recorder n;
    EXPECT_EQ(Parse("nested", "<root>ignored<b> x </B>tail</Root>\r\n", n), "");
    EXPECT_EQ(n.events, (Events{{"<ROOT", "", {""}},
                                {"<B", "", {"", "ROOT"}},
                                {"B", "x", {"", "ROOT", "B"}},
                                {"B>", "", {"", "ROOT", "B"}},
                                {"ROOT>", "", {"", "ROOT"}}}));

    Recorder e;
    EXPECT_EQ(Parse("empty", "", e), "");
    EXPECT_TRUE(e.events.empty());
    // A file that cannot be read is reported, not taken for a clean one.
    EXPECT_EQ(
        XMLParseFile(PathOf("none"), "", e),
        "Errors encountered processing:\r\n" + PathOf("none") + "\r\n\r\nCan't open the file.");
}

TEST(ModXML, Normalisation) {
    EXPECT_EQ(XMLTrimBlank(" \t\x01x y\x1f\r\n"), "x y");
    EXPECT_EQ(XMLTrimBlank(" \t "), "");
    EXPECT_EQ(XMLTrimBlank("\xe9"), "\xe9");
    EXPECT_EQ(XMLCollapseBlank("x  \t y"), "x y");
    EXPECT_EQ(XMLCollapseBlank("1\r\n2"), "1\r\n\r\n2");
    EXPECT_EQ(XMLCollapseBlank("1\r\n\r\n\r\n2"), "1\r\n\r\n2");
    EXPECT_EQ(XMLCollapseBlank("1\n2"), "1\r\n2");
    // After a space the separator keeps growing with every break character.
    EXPECT_EQ(XMLCollapseBlank("a \r\n\r\nb"), "a \r\n\r\n\r\n\r\nb");

    Recorder r;
    EXPECT_EQ(Parse("norm", "<A> x  y </A>\n<B>1\n\n2</B>\n<C>&lt;i&gt; &amp;</C>\n", r), "");
    ASSERT_EQ(r.events.size(), 9u);
    EXPECT_EQ(r.events[1].text, "x y");
    EXPECT_EQ(r.events[4].text, "1\r\n\r\n2");  // empty lines add nothing to the buffer
    EXPECT_EQ(r.events[7].text, "<i> &amp;");
}

TEST(ModXML, CommentBlocks) {
    // Blocks nest; the stray block end drives the depth below zero and hides the rest.
    Recorder r;
    EXPECT_EQ(
        Parse("block", "<!>\n<A>1</A>\n<!> <B></C> </!>\n</!>\n<D>2</D>\n</ ! >\n<E>3</E>", r), "");
    EXPECT_EQ(r.events, (Events{{"<D", "", {""}}, {"D", "2", {"", "D"}}, {"D>", "", {"", "D"}}}));

    Recorder c;
    EXPECT_EQ(Parse("standard", "<!-- note -->\n<A>1</A>\n", c),
              "\r\nAt EOF: Missing closing tags for <!-- NOTE -->.");
    ASSERT_EQ(c.events.size(), 4u);
    EXPECT_EQ(c.events[1], (Event{"<A", "", {"", "!-- NOTE --"}}));
}

TEST(ModXML, MismatchedAndMissingEndTags) {
    Recorder r;
    EXPECT_EQ(Parse("mismatch", "<A>\n</b >\n</A>\n", r),
              "\r\nLine 2: End tag '/b ' appears before required end tag for 'A'.");
    EXPECT_EQ(r.events, (Events{{"<A", "", {""}}, {"A", "", {"", "A"}}, {"A>", "", {"", "A"}}}));

    // The search pops the innermost element of that name with everything inside it.
    Recorder i;
    EXPECT_EQ(Parse("inner", "<A><B><A><C></A></B></A></C>", i),
              "\r\nLine 1: End tag '/A' appears before required end tag for 'C'."
              "\r\nLine 1: End tag '/C' appears before required end tag for ''.");
    ASSERT_EQ(i.events.size(), 6u);
    EXPECT_EQ(i.events[4], (Event{"B>", "", {"", "A", "B"}}));
    EXPECT_EQ(i.events[5], (Event{"A>", "", {"", "A"}}));

    // End tags with nothing open never remove the sentinel.
    Recorder s;
    EXPECT_EQ(Parse("top", "</X>\n</>\n<>\n<Y>z</Y>\n", s),
              "\r\nLine 1: End tag '/X' appears before required end tag for ''."
              "\r\nLine 2: End tag '/' appears before required end tag for ''."
              "\r\nLine 3: Found an empty tag '<>'.");
    ASSERT_EQ(s.events.size(), 3u);
    EXPECT_EQ(s.events[1], (Event{"Y", "z", {"", "Y"}}));

    Recorder o;
    EXPECT_EQ(Parse("open", "<A>\n<B>\n", o), "\r\nAt EOF: Missing closing tags for <A>, <B>.");
}

TEST(ModXML, LineNumbersInMessages) {
    Recorder r;
    r.errorOnTag = "B";
    // Line 4 completes the tag begun on line 3; the empty line counts.
    EXPECT_EQ(Parse("lines", "<A>\n\n</C\n>\nabcdefgh>\nab>\n<B>v</B></A>\n", r),
              "\r\nLine 4: End tag '/C\r\n' appears before required end tag for 'A'."
              "\r\nLine 5: Found a corrupt tag near 'defgh>'. No BigBegining '<'."
              "\r\nLine 6: Found a corrupt tag near '\r\nab>'. No BigBegining '<'."
              "\r\nLine 7: 'B' Tag. bad value.");
}

TEST(ModXML, StopsReadingAfterThousandCharactersOfMessages) {
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "</X>\n";
    Recorder r;
    const std::string messages = Parse("limit", lines + "<LATE>\n", r);
    EXPECT_GE(messages.size(), 1000u);
    EXPECT_LT(messages.rfind("\r\nLine "), 1000u);  // the line before the last was under it
    EXPECT_TRUE(r.events.empty());

    // The limit is checked per line: one long line reports every tag in it.
    std::string oneLine;
    for (int i = 0; i < 50; ++i)
        oneLine += "</X>";
    Recorder l;
    const std::string all = Parse("longline", oneLine + "\n<LATE>\n", l);
    size_t count = 0;
    for (size_t at = 0; (at = all.find("Line 1:", at)) != std::string::npos; ++at)
        ++count;
    EXPECT_EQ(count, 50u);
    EXPECT_TRUE(l.events.empty());
}

TEST(ModXML, CloseBracketFirstInBufferIsACorruptTag) {
    Recorder r;
    const std::string corrupt = "Found a corrupt tag near '>'. No BigBegining '<'.";
    EXPECT_EQ(Parse("gt", "<A>>\n</A>\n<B>></B>>>\n", r),
              "\r\nLine 1: " + corrupt + "\r\nLine 3: " + corrupt + "\r\nLine 3: " + corrupt +
                  "\r\nLine 3: " + corrupt);
    ASSERT_EQ(r.events.size(), 6u);
    EXPECT_EQ(r.events[1], (Event{"A", "", {"", "A"}}));
    EXPECT_EQ(r.events[4], (Event{"B", "", {"", "B"}}));

    // A handler that empties the stack it is given cannot take the reader's apart.
    Recorder c;
    c.clearContext = true;
    EXPECT_EQ(Parse("clear", "<A><B>1</B></A><C>2</C>", c), "");
    EXPECT_EQ(c.events.size(), 8u);
    EXPECT_EQ(c.events[4], (Event{"A>", "", {"", "A"}}));
}

TEST(ModXML, TargetElement) {
    Recorder r;
    EXPECT_EQ(Parse("target", "<X>1</X></Z>\n<characters>\n<A>2</A>\n</CHARACTERS>\n</Q>\n<B/>", r,
                    " <Characters> "),
              "");
    EXPECT_EQ(r.events, (Events{{"<CHARACTERS", "", {""}},
                                {"<A", "", {"", "CHARACTERS"}},
                                {"A", "2", {"", "CHARACTERS", "A"}},
                                {"A>", "", {"", "CHARACTERS", "A"}},
                                {"CHARACTERS>", "", {"", "CHARACTERS"}}}));
    // Tags after the target's end in the same line are not processed either.
    Recorder s;
    EXPECT_EQ(Parse("target_line", "<T>1</T><U>2</U>\n", s, "t"), "");
    EXPECT_EQ(s.events.size(), 3u);
}
