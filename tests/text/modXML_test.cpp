#include "text/modXML.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Event {
    std::string tag;
    std::string text;
    std::vector<std::string> context;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    os << "{" << e.tag << "|" << e.text << "|";
    for (const auto& c : e.context)
        os << c << ",";
    return os << "}";
}

class Recorder : public XMLHandler {
  public:
    void XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                     std::string& pErr) override {
        EXPECT_TRUE(pErr.empty());
        events.push_back({pTag, pText, pContext});
        if (!errorOnTag.empty() && pTag == errorOnTag) pErr = "bad value";
        if (clearContext) pContext.clear();
    }
    std::vector<Event> events;
    std::string errorOnTag;
    bool clearContext = false;
};

std::string WriteFile(const std::string& name, const std::string& content) {
    const std::string path = ::testing::TempDir() + "qx_xml_" + name + ".txt";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string Header(const std::string& path) {
    return "Errors encountered processing:\r\n" + path + "\r\n";
}

}  // namespace

TEST(ModXML, EventSequences) {
    Recorder r;
    const auto simple = WriteFile("simple", "<A>\n5\n</A>\n");
    EXPECT_EQ(XMLParseFile(simple, "", r), "");
    const std::vector<Event> expected = {
        {"<A", "", {""}}, {"A", "5", {"", "A"}}, {"A>", "", {"", "A"}}};
    EXPECT_EQ(r.events, expected);

    // A parent with a child gets no text event; names are upper-cased; CR LF endings work.
    Recorder n;
    const auto nested = WriteFile("nested", "<root>ignored<b> x </B>tail</Root>\r\n");
    EXPECT_EQ(XMLParseFile(nested, "", n), "");
    const std::vector<Event> nestedExpected = {{"<ROOT", "", {""}},
                                               {"<B", "", {"", "ROOT"}},
                                               {"B", "x", {"", "ROOT", "B"}},
                                               {"B>", "", {"", "ROOT", "B"}},
                                               {"ROOT>", "", {"", "ROOT"}}};
    EXPECT_EQ(n.events, nestedExpected);

    Recorder e;
    EXPECT_EQ(XMLParseFile(WriteFile("empty", ""), "", e), "");
    EXPECT_TRUE(e.events.empty());

    Recorder m;
    const std::string missing = ::testing::TempDir() + "qx_xml_no_such_file.txt";
    EXPECT_EQ(XMLParseFile(missing, "", m), Header(missing) + "\r\nCan't open the file.");
    EXPECT_EQ(XMLParseFile(::testing::TempDir(), "", m),
              Header(::testing::TempDir()) + "\r\nCan't open the file.");
}

TEST(ModXML, Normalisation) {
    EXPECT_EQ(XMLTrimBlank(" \t\x01x y\x1f\r\n"), "x y");
    EXPECT_EQ(XMLTrimBlank(" \t "), "");
    EXPECT_EQ(XMLTrimBlank("\xe9"), "\xe9");  // high bytes are not blanks
    EXPECT_EQ(XMLCollapseBlank("x  \t y"), "x y");
    EXPECT_EQ(XMLCollapseBlank("1\r\n2"), "1\r\n\r\n2");
    EXPECT_EQ(XMLCollapseBlank("1\r\n\r\n\r\n2"), "1\r\n\r\n2");
    EXPECT_EQ(XMLCollapseBlank("1\n2"), "1\r\n2");
    // After a space the separator keeps growing with every break character.
    EXPECT_EQ(XMLCollapseBlank("a \r\n\r\nb"), "a \r\n\r\n\r\n\r\nb");
    EXPECT_EQ(XMLCollapseBlank("a\t\r\nb "), "a \r\n\r\nb");

    Recorder r;
    const auto path = WriteFile("norm", "<A> x  y </A>\n<B>1\n\n2</B>\n<C>&lt;i&gt; &amp;</C>\n");
    EXPECT_EQ(XMLParseFile(path, "", r), "");
    ASSERT_EQ(r.events.size(), 9u);
    EXPECT_EQ(r.events[1].text, "x y");
    // Empty lines add nothing to the buffer: one break, doubled.
    EXPECT_EQ(r.events[4].text, "1\r\n\r\n2");
    EXPECT_EQ(r.events[7].text, "<i> &amp;");
}

TEST(ModXML, CommentBlocks) {
    Recorder r;
    const auto block =
        WriteFile("block", "<!>\n<A>1</A>\n<!> <B></C> </!>\n</!>\n<D>2</D>\n</ ! >\n<E>3</E>");
    // The stray block end drives the depth below zero; everything after it is skipped.
    EXPECT_EQ(XMLParseFile(block, "", r), "");
    const std::vector<Event> expected = {
        {"<D", "", {""}}, {"D", "2", {"", "D"}}, {"D>", "", {"", "D"}}};
    EXPECT_EQ(r.events, expected);

    Recorder c;
    const auto standard = WriteFile("standard", "<!-- note -->\n<A>1</A>\n");
    EXPECT_EQ(XMLParseFile(standard, "", c),
              Header(standard) + "\r\nAt EOF: Missing closing tags for <!-- NOTE -->.");
    ASSERT_EQ(c.events.size(), 4u);
    EXPECT_EQ(c.events[0].tag, "<!-- NOTE --");
    EXPECT_EQ(c.events[1].context, (std::vector<std::string>{"", "!-- NOTE --"}));
}

TEST(ModXML, MismatchedAndMissingEndTags) {
    Recorder r;
    const auto path = WriteFile("mismatch", "<A>\n</b >\n</A>\n");
    EXPECT_EQ(XMLParseFile(path, "", r),
              Header(path) + "\r\nLine 2: End tag '/b ' appears before required end tag for 'A'.");
    const std::vector<Event> expected = {
        {"<A", "", {""}}, {"A", "", {"", "A"}}, {"A>", "", {"", "A"}}};
    EXPECT_EQ(r.events, expected);

    // A closing tag further out pops everything inside it, silently.
    Recorder p;
    const auto pop = WriteFile("pop", "<A><B><C></B></A><D>4</D>");
    EXPECT_EQ(XMLParseFile(pop, "", p),
              Header(pop) + "\r\nLine 1: End tag '/B' appears before required end tag for 'C'.");
    ASSERT_EQ(p.events.size(), 7u);
    EXPECT_EQ(p.events[3], (Event{"A>", "", {"", "A"}}));
    EXPECT_EQ(p.events[5], (Event{"D", "4", {"", "D"}}));

    // The search stops at the innermost element of that name.
    Recorder i;
    const auto inner = WriteFile("inner", "<A><B><A><C></A></B></A></C>");
    EXPECT_EQ(XMLParseFile(inner, "", i),
              Header(inner) + "\r\nLine 1: End tag '/A' appears before required end tag for 'C'." +
                  "\r\nLine 1: End tag '/C' appears before required end tag for ''.");
    ASSERT_EQ(i.events.size(), 6u);
    EXPECT_EQ(i.events[4], (Event{"B>", "", {"", "A", "B"}}));
    EXPECT_EQ(i.events[5], (Event{"A>", "", {"", "A"}}));

    // End tags with nothing open never remove the sentinel.
    Recorder s;
    const auto top = WriteFile("top", "</X>\n</>\n<>\n<Y>z</Y>\n");
    EXPECT_EQ(XMLParseFile(top, "", s),
              Header(top) + "\r\nLine 1: End tag '/X' appears before required end tag for ''." +
                  "\r\nLine 2: End tag '/' appears before required end tag for ''." +
                  "\r\nLine 3: Found an empty tag '<>'.");
    ASSERT_EQ(s.events.size(), 3u);
    EXPECT_EQ(s.events[1], (Event{"Y", "z", {"", "Y"}}));

    Recorder o;
    const auto open = WriteFile("open", "<A>\n<B>\n");
    EXPECT_EQ(XMLParseFile(open, "", o),
              Header(open) + "\r\nAt EOF: Missing closing tags for <A>, <B>.");
}

TEST(ModXML, LineNumbersInMessages) {
    Recorder r;
    r.errorOnTag = "B";
    // Line 4 completes the tag begun on line 3; the empty line counts.
    const auto path = WriteFile("lines", "<A>\n\n</C\n>\nabcdefgh>\nab>\n<B>v</B></A>\n");
    EXPECT_EQ(XMLParseFile(path, "", r),
              Header(path) +
                  "\r\nLine 4: End tag '/C\r\n' appears before required end tag for 'A'." +
                  "\r\nLine 5: Found a corrupt tag near 'defgh>'. No BigBegining '<'." +
                  "\r\nLine 6: Found a corrupt tag near '\r\nab>'. No BigBegining '<'." +
                  "\r\nLine 7: 'B' Tag. bad value.");
}

TEST(ModXML, StopsReadingAfterThousandCharactersOfMessages) {
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += "</X>\n";
    Recorder r;
    const auto path = WriteFile("limit", content + "<LATE>\n");
    const std::string result = XMLParseFile(path, "", r);
    const std::string messages = result.substr(Header(path).size());
    const size_t last = messages.rfind("\r\nLine ");
    ASSERT_NE(last, std::string::npos);
    EXPECT_GE(messages.size(), 1000u);
    EXPECT_LT(last, 1000u);  // the line before the last was still under the limit
    EXPECT_LT(messages.size(), 1100u);
    EXPECT_TRUE(r.events.empty());

    // The limit is checked per line: one long line reports every tag in it.
    std::string oneLine;
    for (int i = 0; i < 50; ++i)
        oneLine += "</X>";
    Recorder l;
    const auto longPath = WriteFile("longline", oneLine + "\n<LATE>\n");
    const std::string longResult = XMLParseFile(longPath, "", l);
    size_t count = 0;
    for (size_t pos = 0; (pos = longResult.find("Line 1:", pos)) != std::string::npos; ++pos) {
        ++count;
    }
    EXPECT_EQ(count, 50u);
    EXPECT_EQ(longResult.find("Line 2"), std::string::npos);
    EXPECT_TRUE(l.events.empty());
}

TEST(ModXML, CloseBracketFirstInBufferIsACorruptTag) {
    Recorder r;
    const auto path = WriteFile("gt", "<A>>\n</A>\n<B>></B>>>\n");
    EXPECT_EQ(XMLParseFile(path, "", r),
              Header(path) + "\r\nLine 1: Found a corrupt tag near '>'. No BigBegining '<'." +
                  "\r\nLine 3: Found a corrupt tag near '>'. No BigBegining '<'." +
                  "\r\nLine 3: Found a corrupt tag near '>'. No BigBegining '<'." +
                  "\r\nLine 3: Found a corrupt tag near '>'. No BigBegining '<'.");
    ASSERT_EQ(r.events.size(), 6u);
    EXPECT_EQ(r.events[1], (Event{"A", "", {"", "A"}}));
    EXPECT_EQ(r.events[4], (Event{"B", "", {"", "B"}}));

    // A handler that empties the stack it holds cannot take the sentinel away.
    Recorder c;
    c.clearContext = true;
    const auto nested = WriteFile("clear", "<A><B>1</B></A><C>2</C>");
    XMLParseFile(nested, "", c);
    EXPECT_FALSE(c.events.empty());
    for (const auto& e : c.events)
        EXPECT_FALSE(e.context.empty());
}

TEST(ModXML, TargetElement) {
    Recorder r;
    const auto path =
        WriteFile("target", "<X>1</X></Z>\n<characters>\n<A>2</A>\n</CHARACTERS>\n</Q>\n<B/>");
    EXPECT_EQ(XMLParseFile(path, " <Characters> ", r), "");
    const std::vector<Event> expected = {{"<CHARACTERS", "", {""}},
                                         {"<A", "", {"", "CHARACTERS"}},
                                         {"A", "2", {"", "CHARACTERS", "A"}},
                                         {"A>", "", {"", "CHARACTERS", "A"}},
                                         {"CHARACTERS>", "", {"", "CHARACTERS"}}};
    EXPECT_EQ(r.events, expected);

    // Tags after the target's end in the same line are not processed either.
    Recorder s;
    const auto same = WriteFile("target_line", "<T>1</T><U>2</U>\n");
    EXPECT_EQ(XMLParseFile(same, "t", s), "");
    EXPECT_EQ(s.events.size(), 3u);
}
