// SVG contexts write their drawing as SVG elements: paths in device units
// with the pen's and brush's colours, text at the baseline GDI measures
// over its background box, clip rectangles, and the pen and brush styles and
// modes that have no plain SVG colour.
#include <cstdlib>
#include <string>

#include "gdi_fixture.h"

namespace {

class GdiSvgTest : public GdiTest {
 protected:
  // The element that starts with start and holds what, or "".
  static std::string Element(const std::string& svg, const std::string& start,
                             const std::string& what) {
    for (size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
      std::string e = svg.substr(at, svg.find('>', at) - at + 1);
      if (e.find(what) != std::string::npos) return e;
    }
    return "";
  }
  void ExpectWellFormed(const std::string& file) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) return;
    EXPECT_EQ(std::system(("xmllint --noout '" + Path(file) + "'").c_str()), 0) << Read(file);
  }
};

TEST_F(GdiSvgTest, ShapesTextAndClipBecomeElements) {
  HDC hdc = platform::CreateVectorDC(Path("a.svg"), false, 120, 80);
  ASSERT_NE(hdc, nullptr);
  {
    Selected pen(hdc, CreatePen(PS_SOLID, 3, kRed));
    MoveToEx(hdc, 10, 10, nullptr);
    LineTo(hdc, 50, 10);
    LineTo(hdc, 50, 40);  // the same pen: the same <path>
  }
  const POINT triangle[] = {{20, 30}, {40, 30}, {30, 50}};
  {
    Selected brush(hdc, CreateSolidBrush(kBlue));
    Polygon(hdc, triangle, 3);
  }
  SelectObject(hdc, GetStockObject(NULL_BRUSH));
  Ellipse(hdc, 60, 10, 80, 30);
  const LOGFONT lf = Font(-12, "Arial", FW_BOLD);
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(hdc, font);
  IntersectClipRect(hdc, 0, 0, 100, 70);
  SetBkColor(hdc, kGreen);
  TextOut(hdc, 10, 55, "H&<\"", 4);
  TEXTMETRIC tm;
  SIZE size;
  ASSERT_TRUE(GetTextMetrics(hdc, &tm));
  ASSERT_TRUE(GetTextExtentPoint32(hdc, "H&<\"", 4, &size));
  DeleteObject(SelectObject(hdc, oldFont));
  ASSERT_TRUE(platform::CloseVectorDC(hdc));

  const std::string svg = Read("a.svg");
  ExpectWellFormed("a.svg");
  EXPECT_NE(svg.find("width=\"120px\" height=\"80px\" viewBox=\"0 0 120 80\""), std::string::npos);
  // A pen of odd width runs on the pixel centres; round caps and joins.
  EXPECT_NE(Element(svg, "<path",
                    "M10.5 10.5H50.5V40.5\" fill=\"none\" stroke=\"#ff0000\" "
                    "stroke-width=\"3\" stroke-linecap=\"round\""),
            "")
      << svg;
  // Fill and outline of one shape in one element, filled by GDI's alternate rule.
  EXPECT_NE(Element(svg, "<path",
                    "M20.5 30.5H40.5L30.5 50.5Z\" fill=\"#0000ff\" "
                    "fill-rule=\"evenodd\" stroke=\"#000000\"/>"),
            "")
      << svg;
  // The hollow ellipse: an outline of curves through its box's edges.
  std::string ellipse = Element(svg, "<path", "M79.5 20");
  EXPECT_NE(ellipse.find("C"), std::string::npos) << svg;
  EXPECT_NE(ellipse.find("fill=\"none\""), std::string::npos) << ellipse;
  // The text over its box, clipped, at the baseline TextOut draws on.
  EXPECT_NE(svg.find("<clipPath id=\"c0\"><rect x=\"0\" y=\"0\" width=\"100\" height=\"70\"/>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<g clip-path=\"url(#c0)\"><rect x=\"10\" y=\"55\" width=\"" +
                     std::to_string(size.cx) + "\" height=\"" + std::to_string(tm.tmHeight) +
                     "\" fill=\"#00ff00\"/>"),
            std::string::npos)
      << svg;
  std::string text = Element(svg, "<text", "");
  EXPECT_NE(text.find("x=\"10\" y=\"" + std::to_string(55 + tm.tmAscent) + "\""), std::string::npos)
      << text;
  EXPECT_NE(text.find("font-weight=\"bold\""), std::string::npos) << text;
  EXPECT_NE(text.find("sans-serif\""), std::string::npos) << text;
  EXPECT_NE(svg.find(">H&amp;&lt;&quot;</text>"), std::string::npos) << svg;
}

TEST_F(GdiSvgTest, StylesAndModesWithoutAPlainColour) {
  HDC hdc = platform::CreateVectorDC(Path("b.svg"), false, 60, 60);
  ASSERT_NE(hdc, nullptr);
  {
    Selected pen(hdc, CreatePen(PS_DOT, 1, kRed));
    SetBkColor(hdc, kBlue);
    MoveToEx(hdc, 0, 5, nullptr);
    LineTo(hdc, 60, 5);  // blue gaps under red dots
  }
  {
    const LOGBRUSH hatched{BS_HATCHED, kRed, HS_CROSS};
    Selected brush(hdc, CreateBrushIndirect(&hatched));
    SetBkMode(hdc, TRANSPARENT);
    Rectangle(hdc, 0, 10, 20, 30);
    Rectangle(hdc, 30, 10, 50, 30);  // the same tile again
  }
  SetROP2(hdc, 11);  // R2_NOP
  Rectangle(hdc, 0, 40, 10, 50);
  SetROP2(hdc, R2_NOT);
  Rectangle(hdc, 20, 40, 30, 50);
  ASSERT_TRUE(platform::CloseVectorDC(hdc));

  const std::string svg = Read("b.svg");
  ExpectWellFormed("b.svg");
  const size_t gaps = svg.find("stroke=\"#0000ff\"/>"), dots = svg.find("stroke-dasharray=\"3 3\"");
  ASSERT_NE(gaps, std::string::npos) << svg;
  ASSERT_NE(dots, std::string::npos) << svg;
  EXPECT_LT(gaps, dots);
  // One pattern, its tile the cross of pixel row and column 4.
  EXPECT_EQ(svg.find("<pattern"), svg.rfind("<pattern")) << svg;
  EXPECT_NE(svg.find("<pattern id=\"h0\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\">"
                     "<path d=\"M4 0h1v1h-1zM4 1h1v1h-1zM4 2h1v1h-1zM4 3h1v1h-1zM0 4h8v1h-8z"),
            std::string::npos)
      << svg;
  EXPECT_NE(Element(svg, "<path", "M0.5 10.5H19.5V29.5H0.5Z\" fill=\"url(#h0)\""), "") << svg;
  EXPECT_NE(Element(svg, "<path", "M30.5 10.5H49.5V29.5H30.5Z\" fill=\"url(#h0)\""), "") << svg;
  EXPECT_EQ(svg.find("M0.5 40.5"), std::string::npos) << svg;  // R2_NOP draws nothing
  // R2_NOT inverts the fill and then the outline, as two paintings.
  EXPECT_NE(Element(svg, "<path",
                    "M20.5 40.5H29.5V49.5H20.5Z\" fill=\"#ffffff\" "
                    "style=\"mix-blend-mode:difference\"/>"),
            "")
      << svg;
  EXPECT_NE(Element(svg, "<path",
                    "M20.5 40.5H29.5V49.5H20.5Z\" fill=\"none\" "
                    "stroke=\"#ffffff\" style=\"mix-blend-mode:difference\"/>"),
            "")
      << svg;
}

TEST_F(GdiSvgTest, AnAbandonedSvgWritesNothing) {
  HDC hdc = platform::CreateVectorDC(Path("gone.svg"), false, 50, 50);
  ASSERT_NE(hdc, nullptr);
  Rectangle(hdc, 0, 0, 10, 10);
  EXPECT_TRUE(DeleteDC(hdc));
  EXPECT_TRUE(Read("gone.svg").empty());
}

}  // namespace
