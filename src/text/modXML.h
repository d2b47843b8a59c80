// A small streaming reader for tag files (the bitmap font's description). Not a general XML
// parser: start tags, end tags, element text and "!" comment blocks; every other problem goes
// into one accumulated error text that the caller gets back.
#pragma once

#include <string>
#include <vector>

// Receives the reader's events, all four arguments by reference: pTag "<NAME" (start), "NAME"
// (text) or "NAME>" (end); pText the element text; pContext the open-element names (sentinel ""
// at index 0, outermost at index 1), a copy the handler may change without harm to the reader;
// pErr, emptied before each call, which the handler sets to report a problem.
class XMLHandler {
  public:
    virtual ~XMLHandler() = default;
    virtual void XMLCallBack(std::string& pTag, std::string& pText,
                             std::vector<std::string>& pContext, std::string& pErr) = 0;
};

// Reads pFileName and hands its events to pHandler. With a non-empty pTag only that element is
// processed and reading stops after its end tag. Returns "" when all went well, else a text
// beginning "Errors encountered processing:".
std::string XMLParseFile(const std::string& pFileName, const std::string& pTag,
                         XMLHandler& pHandler);

// Drops characters below code 33 at both ends.
std::string XMLTrimBlank(const std::string& pText);
// Collapses runs of blanks into one space and line breaks into at most two CR LF pairs.
std::string XMLCollapseBlank(const std::string& pText);
