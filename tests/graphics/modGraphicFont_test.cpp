#include <gtest/gtest.h>

#include <cstring>

#include "graphics/modGraphic.h"
#include "platform/window/Form.h"

TEST(ReadFormFont, CopiesTheSelectedFontAndLeavesItSelected) {
    platform::Form form("frmFontProbe");
    LOGFONTA wanted{};
    wanted.lfHeight = -21;
    wanted.lfWeight = FW_BOLD;
    wanted.lfItalic = 1;
    wanted.lfEscapement = 450;
    std::strcpy(wanted.lfFaceName, "Small Fonts");
    HFONT font = CreateFontIndirectA(&wanted);
    HGDIOBJ old = SelectObject(form.hDC(), font);

    LOGFONTA read{};
    ReadFormFont(form, read);
    EXPECT_EQ(std::memcmp(&read, &wanted, sizeof(LOGFONTA)), 0);
    EXPECT_EQ(GetCurrentObject(form.hDC(), GdiKind::Font), font);

    SelectObject(form.hDC(), old);
    DeleteObject(font);
}
