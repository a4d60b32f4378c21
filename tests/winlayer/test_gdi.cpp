// GDI wrappers: who deletes which handle, and the double buffer of owner-drawn windows.
#include <gtest/gtest.h>

#include "support/canvas.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"

using testsupport::Canvas;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Exists(HGDIOBJ object) {
  return ::GetObjectType(object) != 0;
}

}  // namespace

TEST(GdiObjects, ManagedFormsDeleteTheirHandlesAndHandleFormsDoNot) {
  HFONT font = nullptr;
  {
    CFont owner;
    font = owner.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
    ASSERT_NE(nullptr, font);
    CFontHandle borrowed(owner);  // copies the handle only
    LOGFONTW logFont = {};
    ASSERT_TRUE(borrowed.GetLogFont(logFont));
    EXPECT_EQ(-13, logFont.lfHeight);
  }
  EXPECT_FALSE(Exists(font));

  CPen pen;
  HPEN first = pen.CreatePen(PS_SOLID, 1, kRed);
  HPEN second = pen.CreatePen(PS_SOLID, 2, kBlue);  // replaces, deleting the first
  EXPECT_FALSE(Exists(first));
  EXPECT_TRUE(Exists(second));
  HPEN kept = pen.Detach();
  EXPECT_TRUE(pen.IsNull());
  EXPECT_TRUE(Exists(kept));
  { CPenHandle borrowed(kept); }
  EXPECT_TRUE(Exists(kept));
  CPenHandle(kept).DeleteObject();
  EXPECT_FALSE(Exists(kept));

  CBrush brush;
  brush.CreateSolidBrush(kRed);
  HBRUSH same = brush;
  brush.Attach(same);  // attaching the held handle again must not delete it
  EXPECT_TRUE(Exists(same));
}

TEST(GdiDc, SolidFillsKeepTheBackgroundColour) {
  Canvas canvas(40, 40);
  CDCHandle dc = canvas.dc();
  dc.FillSolidRect(CRect(0, 0, 10, 10), kRed);
  EXPECT_EQ(kRed, canvas.at(9, 9));
  EXPECT_EQ(kWhite, canvas.at(10, 10));
  // FillSolidRect leaves the background colour as it found it (text drawn later relies on it).
  dc.SetBkColor(kBlue);
  dc.FillSolidRect(20, 20, 5, 5, kRed);
  EXPECT_EQ(kBlue, dc.GetBkColor());
}

TEST(GdiDc, MemoryDcShowsNothingUntilItCopiesItsAreaInOneGo) {
  Canvas target(60, 60);
  const CRect area(10, 20, 50, 40);
  {
    CMemoryDC buffer(target.dc(), area);
    ASSERT_TRUE(buffer.IsBuffered());
    // The buffer uses the target's coordinates.
    buffer.FillSolidRect(area, kBlue);
    buffer.FillSolidRect(10, 20, 5, 5, kRed);
    EXPECT_EQ(kRed, buffer.GetPixel(12, 22));
    // Nothing has reached the target yet.
    EXPECT_EQ(kWhite, target.at(12, 22));
    EXPECT_EQ(kWhite, target.at(30, 30));
    // Drawing outside the area falls off the buffer's edges and never reaches the target.
    buffer.FillSolidRect(0, 0, 60, 10, kRed);
  }
  EXPECT_EQ(kRed, target.at(12, 22));
  EXPECT_EQ(kBlue, target.at(30, 30));
  EXPECT_EQ(kBlue, target.at(49, 39));
  EXPECT_EQ(kWhite, target.at(50, 40));
  EXPECT_EQ(kWhite, target.at(9, 25));
  EXPECT_EQ(kWhite, target.at(5, 5));
}

TEST(GdiDc, MemoryDcOverAnEmptyAreaDrawsStraightThrough) {
  Canvas target(10, 10);
  {
    CMemoryDC buffer(target.dc(), CRect(5, 5, 5, 9));
    EXPECT_FALSE(buffer.IsBuffered());
    buffer.FillSolidRect(0, 0, 2, 2, kRed);
  }
  EXPECT_EQ(kRed, target.at(1, 1));
  // The target DC is borrowed, never deleted.
  EXPECT_EQ(kRed, target.dc().GetPixel(0, 0));
}
