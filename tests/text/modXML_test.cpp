#include "text/modXML.h"

#include <gtest/gtest.h>

#include <fstream>

// Each handler call as "tag|text|context", the context's names joined by '/' (the bottom of
// the stack is the sentinel "").
using Events = std::vector<std::string>;
// The messages after the report's header ("" when the result is empty), and the events.
using Result = std::pair<std::string, Events>;

struct Recorder : XMLHandler {
    void XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                     std::string& pErr) override {
        EXPECT_TRUE(pErr.empty());
        std::string context;
        for (size_t i = 0; i < pContext.size(); ++i)
            context += (i ? "/" : "") + pContext[i];
        events.push_back(pTag + "|" + pText + "|" + context);
        if (pTag == "BAD") pErr = "bad value";
        if (clearContext) pContext.clear();
    }
    Events events;
    bool clearContext = false;
};

static Result Parse(const std::string& content, const std::string& target = "",
                    bool clearContext = false) {
    // A file per test: ctest may run the tests side by side.
    const std::string path = ::testing::TempDir() + "qx_xml_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ofstream(path, std::ios::binary) << content;
    Recorder r;
    r.clearContext = clearContext;
    const std::string result = XMLParseFile(path, target, r);
    const std::string header = "Errors encountered processing:\r\n" + path + "\r\n";
    EXPECT_EQ(result.substr(0, header.size()), result.empty() ? "" : header);
    return {result.empty() ? "" : result.substr(header.size()), r.events};
}

// The events of an element holding only text, opened inside context.
static Events Leaf(const std::string& name, const std::string& text,
                   const std::string& context = "") {
    const std::string inside = context + "/" + name;
    return {"<" + name + "||" + context, name + "|" + text + "|" + inside, name + ">||" + inside};
}

static Events operator+(Events a, const Events& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The events of an element holding one element with text.
static Events Wrap(const std::string& outer, const std::string& name, const std::string& text) {
    return Events{"<" + outer + "||"} + Leaf(name, text, "/" + outer) +
           Events{outer + ">||/" + outer};
}

TEST(ModXML, EventSequencesAndTargetElement) {
    EXPECT_EQ(Parse("<A>\n5\n</A>\n"), (Result{"", Leaf("A", "5")}));
    // A parent with a child gets no text event; names are upper-cased; CR LF endings work.
    EXPECT_EQ(Parse("<root>ignored<b> x </B>tail</Root>\r\n"),
              (Result{"", Wrap("ROOT", "B", "x")}));
    EXPECT_EQ(Parse(""), Result());
    // A file that cannot be read is reported, not taken for a clean one.
    Recorder r;
    const std::string none = ::testing::TempDir() + "qx_xml_none";
    EXPECT_EQ(XMLParseFile(none, "", r),
              "Errors encountered processing:\r\n" + none + "\r\n\r\nCan't open the file.");
    // Only the target element is read.
    EXPECT_EQ(
        Parse("<X>1</X></Z>\n<characters>\n<A>2</A>\n</CHARACTERS>\n</Q>\n<B/>", " <Characters> "),
        (Result{"", Wrap("CHARACTERS", "A", "2")}));
    // Tags after the target's end in the same line are not processed either.
    EXPECT_EQ(Parse("<T>1</T><U>2</U>\n", "t"), (Result{"", Leaf("T", "1")}));
    // Blanks left inside the brackets stay part of the target, which then matches no tag.
    EXPECT_EQ(Parse("<T>1</T>\n", "< t >"), Result());
    EXPECT_EQ(Parse("<T>1</T>\n", " < > "), (Result{"", Leaf("T", "1")}));
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
    // Empty lines add nothing to the buffer.
    EXPECT_EQ(Parse("<A> x  y </A>\n<B>1\n\n2</B>\n<C>&lt;i&gt; &amp;</C>\n"),
              (Result{"", Leaf("A", "x y") + Leaf("B", "1\r\n\r\n2") + Leaf("C", "<i> &amp;")}));
}

TEST(ModXML, CommentBlocks) {
    // Blocks nest; the stray block end drives the depth below zero and hides the rest.
    EXPECT_EQ(Parse("<!>\n<A>1</A>\n<!> <B></C> </!>\n</!>\n<D>2</D>\n</ ! >\n<E>3</E>"),
              (Result{"", Leaf("D", "2")}));
    EXPECT_EQ(Parse("<!-- note -->\n<A>1</A>\n"),
              (Result{"\r\nAt EOF: Missing closing tags for <!-- NOTE -->.",
                      Events{"<!-- NOTE --||"} + Leaf("A", "1", "/!-- NOTE --")}));
}

TEST(ModXML, MismatchedAndMissingEndTagsWithTheirLines) {
    for (const char* text : {"<A>\n</b >\n</A>\n", "<A>\r\n</b >\r\n</A>\r\n"}) {
        EXPECT_EQ(Parse(text),
                  (Result{"\r\nLine 2: End tag '/b ' appears before required end tag for 'A'.",
                          Leaf("A", "")}));
    }
    // The search pops the innermost element of that name with everything inside it.
    EXPECT_EQ(Parse("<A><B><A><C></A></B></A></C>"),
              (Result{"\r\nLine 1: End tag '/A' appears before required end tag for 'C'."
                      "\r\nLine 1: End tag '/C' appears before required end tag for ''.",
                      {"<A||", "<B||/A", "<A||/A/B", "<C||/A/B/A", "B>||/A/B", "A>||/A"}}));
    // End tags with nothing open never remove the sentinel.
    EXPECT_EQ(Parse("</X>\n</>\n<>\n<Y>z</Y>\n"),
              (Result{"\r\nLine 1: End tag '/X' appears before required end tag for ''."
                      "\r\nLine 2: End tag '/' appears before required end tag for ''."
                      "\r\nLine 3: Found an empty tag '<>'.",
                      Leaf("Y", "z")}));
    EXPECT_EQ(Parse("<A>\n<B>\n").first, "\r\nAt EOF: Missing closing tags for <A>, <B>.");
    // Line 4 completes the tag begun on line 3; the empty line counts.
    EXPECT_EQ(Parse("<A>\n\n</C\n>\nabcdefgh>\nab>\n<BAD>v</BAD></A>\n").first,
              "\r\nLine 4: End tag '/C\r\n' appears before required end tag for 'A'."
              "\r\nLine 5: Found a corrupt tag near 'defgh>'. No BigBegining '<'."
              "\r\nLine 6: Found a corrupt tag near '\r\nab>'. No BigBegining '<'."
              "\r\nLine 7: 'BAD' Tag. bad value.");
}

TEST(ModXML, StopsReadingAfterThousandCharactersOfMessages) {
    std::string lines, oneLine, fifty;
    for (int i = 0; i < 100; ++i)
        lines += "</X>\n";
    const auto [messages, events] = Parse(lines + "<LATE>\n");
    EXPECT_GE(messages.size(), 1000u);
    EXPECT_LT(messages.rfind("\r\nLine "), 1000u);  // the line before the last was under it
    EXPECT_TRUE(events.empty());
    // The limit is checked per line: one long line reports every tag in it.
    for (int i = 0; i < 50; ++i) {
        oneLine += "</X>";
        fifty += "\r\nLine 1: End tag '/X' appears before required end tag for ''.";
    }
    EXPECT_EQ(Parse(oneLine + "\n<LATE>\n"), (Result{fifty, {}}));
}

TEST(ModXML, CloseBracketFirstInBufferIsACorruptTag) {
    const std::string corrupt = "Found a corrupt tag near '>'. No BigBegining '<'.";
    EXPECT_EQ(Parse("<A>>\n</A>\n<B>></B>>>\n"),
              (Result{"\r\nLine 1: " + corrupt + "\r\nLine 3: " + corrupt +
                          "\r\nLine 3: " + corrupt + "\r\nLine 3: " + corrupt,
                      Leaf("A", "") + Leaf("B", "")}));
    // A handler that empties the stack it is given cannot take the reader's apart.
    EXPECT_EQ(Parse("<A><B>1</B></A><C>2</C>", "", true),
              (Result{"", Wrap("A", "B", "1") + Leaf("C", "2")}));
}
