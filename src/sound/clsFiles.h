// The full paths of all files below a folder, subfolders included, handed out by 1-based
// index, at random or as bare file names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class clsFiles {
  public:
    // Lists pPath breadth first and appends to the entries of an earlier Initialize. Raises
    // error 0x80040001 when pPath cannot be read; the object is then unchanged.
    void Initialize(const std::string& pPath);
    const std::string& Path() const { return mPath; }
    // Raises error 0x80040001 when pIndex is outside 1 to Count.
    std::string FileNamePath(int32_t pIndex) const;
    // Raises error 0x80040001 on an empty list.
    std::string FileNamePathRandom() const;
    std::string Filename(int32_t pIndex) const;
    int32_t Count() const { return mCount; }
    // Overwrites the count only; the entries stay.
    void Count(int32_t pCount) { mCount = pCount; }
    void BubbleSort();

  private:
    // Entries that are really in the list: Count may have been set past them.
    size_t ListedCount() const;
    const std::string& Entry(int32_t pIndex) const;

    std::string mPath;
    int32_t mCount = 0;
    std::vector<std::string> mFiles;
};
