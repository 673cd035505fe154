#include "chart/Catalogue.h"

namespace korvex {

namespace {

void CommonChart(TChart& c, const char* name, const char* hint) {
  c.Name = name;
  c.Hint = hint;
  c.Width = 317;
  c.Height = 316;
  c.LegendVisible = false;
  c.AxisVisible = false;
  c.View3DWalls = false;
  c.ZoomAllow = false;
  c.Chart3DPercent = 100;
  c.SetBackColor(clWhite);
  c.SetView3D(true);
  c.View3DOptions().SetPerspective(0);
  c.BottomAxis().SetAutomatic(false);
  c.Title().Visible = false;
  for (TChartTitle* t : {&c.Foot(), &c.SubFoot()}) {
    t->Visible = false;
    t->AlignLeft = true;
    t->Font.Height = 17;
  }
  c.RotateTool().OutlinePenColor = clWhite;
  c.RotateTool().XorMode = true;
  TTeeOpenGL& gl = c.OpenGL();
  gl.SetActive(false);
  gl.AmbientLight = 8;
  gl.Antialias = true;
  gl.Shininess = 0.5;
  gl.Light0 = TGLLight{true, clGray, false, false, {0, 0, -1}, {-100, -100, -100}, 180};
  gl.Light1 = TGLLight{false, clGray, false, false, {0, 0, -1}, {-100, -100, -100}, 180};
  gl.Light2 = gl.Light1;
}

// Sphere series: circle pointer of the given size, no connecting line.
TBubble3DSeries* Bubbles(TChart& c, const char* name, int size, bool outline, int transparency) {
  auto* s = c.CreateSeries<TBubble3DSeries>(name);
  s->Pointer().Style = TPointerStyle::psCircle;
  s->Pointer().Size = size;
  s->Pointer().Pen.Visible = outline;
  s->Pointer().Transparency = transparency;
  s->LinePen().Visible = false;
  return s;
}

TVector3DSeries* Vectors(TChart& c, const char* name, int width, bool endArrow, int endWidth) {
  auto* s = c.CreateSeries<TVector3DSeries>(name);
  s->Pen().Width = width;
  s->StartArrow().Visible = false;
  s->EndArrow().Visible = endArrow;
  s->EndArrow().Width = endWidth;
  return s;
}

TTriSurfaceSeries* TriSurface(TChart& c, const char* name, bool active, TColor color) {
  auto* s = c.CreateSeries<TTriSurfaceSeries>(name);
  s->SetActive(active);
  s->SetSeriesColor(color);
  s->Pen().Visible = false;
  s->Border().Visible = true;
  s->Border().Color = clWhite;
  s->SetUseColorRange(false);
  return s;
}

TSurfaceSeries* Surface(TChart& c, const char* name, TColor color, bool clearSide) {
  auto* s = c.CreateSeries<TSurfaceSeries>(name);
  s->SetActive(false);
  s->SetSeriesColor(color);
  s->SetIrregularGrid(true);
  s->Pen().Visible = false;
  if (clearSide) s->SideBrush().Style = TBrushStyle::bsClear;
  s->SetUseColorRange(false);
  return s;
}

TPoint3DSeries* Circle(TChart& c, const char* name, TColor color, TColor line) {
  auto* s = c.CreateSeries<TPoint3DSeries>(name);
  s->SetActive(false);
  s->SetSeriesColor(color);
  s->LinePen().Visible = true;
  s->LinePen().Color = line;
  s->LinePen().Width = 2;
  s->Pointer().Visible = false;
  return s;
}

void MarkFont(TSeriesMarks& m, bool visible, int height) {
  m.Visible = visible;
  m.Font.Bold = true;
  m.Font.Height = height;
  m.Clip = true;
  m.Frame = false;
}

}  // namespace

TChartCatalogue::TChartCatalogue()
    : ChartTool1(Chart1.RotateTool()),
      RotateTool1(Chart2.RotateTool()),
      TeeOpenGL1(Chart1.OpenGL()),
      TeeOpenGL2(Chart2.OpenGL()) {
  CommonChart(Chart1, "Chart1", "Real space and map examples");
  CommonChart(Chart2, "Chart2", "Reciprocal space");
  ChartTool1.Name = "ChartTool1";
  RotateTool1.Name = "RotateTool1";
  {
    TChartTitle& t = Chart1.Title();
    t.Visible = false;
    t.Font.Bold = true;
    t.Font.Color = clRed;
    t.Font.Height = 40;
    t.CustomPosition = true;
    t.Left = 0;
    t.Top = 150;
  }
  TeeOpenGL2.Light1.FixedPosition = true;
  TeeOpenGL2.Light1.UseDirection = true;
  TeeOpenGL2.Light1.Position[0] = TeeOpenGL2.Light1.Position[1] = TeeOpenGL2.Light1.Position[2] = 500;

  // --- Chart1: real space ---
  SeriesSpheres = Bubbles(Chart1, "SeriesSpheres", 9, false, 60);

  SeriesVec2 = Vectors(Chart1, "SeriesVec2", 20, false, 1);
  SeriesVec2->Pen().EndStyle = TPenEndStyle::esFlat;
  MarkFont(SeriesVec2->Marks(), false, 21);
  SeriesVec2->SetUseColorRange(false);

  SeriesSurfInc = TriSurface(Chart1, "SeriesSurfInc", false, clRed);

  SeriesLines = Vectors(Chart1, "SeriesLines", 2, false, 1);

  SeriesSurf = TriSurface(Chart1, "SeriesSurf", true, clWhite);

  SeriesBeams2 = Vectors(Chart1, "SeriesBeams2", 3, true, 3);
  SeriesBeams2->Pen().Style = TPenStyle::psDash;

  SeriesBeams = Vectors(Chart1, "SeriesBeams", 3, true, 3);
  SeriesBeams->Brush().Color = clBlack;

  SeriesVec = Vectors(Chart1, "SeriesVec", 5, false, 1);
  SeriesVec->StartArrow().Visible = true;
  SeriesVec->StartArrow().Width = 5;
  MarkFont(SeriesVec->Marks(), true, 21);
  SeriesVec->SetUseColorRange(false);

  SeriesDetector = Chart1.CreateSeries<TPoint3DSeries>("SeriesDetector");
  SeriesDetector->Pointer().Style = TPointerStyle::psRectangle;
  SeriesDetector->Pointer().Size = 20;
  SeriesDetector->LinePen().Visible = false;

  SeriesPoint = Bubbles(Chart1, "SeriesPoint", 12, false, 0);
  SeriesPoint->Pointer().Pen.Style = TPenStyle::psDash;

  SeriesRealPSD = TriSurface(Chart1, "SeriesRealPSD", true, clGreen);

  SeriesRealPSDpoints = Bubbles(Chart1, "SeriesRealPSDpoints", 17, true, 0);
  SeriesRealPSDpoints->SetSeriesColor(clNavy);
  SeriesRealPSDpoints->SetColorEachPoint(false);

  // --- Chart2: reciprocal space ---
  SeriesVecRecipr2 = Vectors(Chart2, "SeriesVecRecipr2", 4, true, 4);
  SeriesBeamsRec = Vectors(Chart2, "SeriesBeamsRec", 3, true, 3);
  SeriesBeamsRec2 = Vectors(Chart2, "SeriesBeamsRec2", 3, true, 3);
  SeriesBeamsRec2->Pen().Style = TPenStyle::psDash;

  SeriesPointRes = Bubbles(Chart2, "SeriesPointRes", 13, false, 0);
  SeriesPointRes->Pointer().Pen.Style = TPenStyle::psDash;
  {
    TSeriesMarks& m = SeriesPointRes->Marks();
    m.Visible = false;
    m.Transparent = true;
    m.Font.Bold = true;
    m.Font.Color = clRed;
    m.Arrow = false;
  }

  SeriesVecRecipr = Vectors(Chart2, "SeriesVecRecipr", 2, false, 1);
  SeriesVecRecipr->StartArrow().Visible = true;
  SeriesVecRecipr->StartArrow().Width = 3;
  {
    TSeriesMarks& m = SeriesVecRecipr->Marks();
    m.Visible = true;
    m.Transparent = true;
    m.Font.Bold = true;
    m.Font.Height = 16;
    m.Frame = false;
  }

  SeriesSurfKh0 = Surface(Chart2, "SeriesSurfKh0", clPurple, true);
  SeriesSurfDwn = Surface(Chart2, "SeriesSurfDwn", clLime, true);
  SeriesSurfK00 = Surface(Chart2, "SeriesSurfK00", 0x408000, true);

  SeriesSurfResPlane = TriSurface(Chart2, "SeriesSurfResPlane", true, clGray);
  SeriesSurfResPlane->SetFastBrush(true);
  SeriesSurfIncRes = TriSurface(Chart2, "SeriesSurfIncRes", false, clYellow);

  SeriesCircle1 = Circle(Chart2, "SeriesCircle1", clBlack, clBlack);
  SeriesCircle2 = Circle(Chart2, "SeriesCircle2", clMaroon, clMaroon);
  SeriesCircle3 = Circle(Chart2, "SeriesCircle3", clBlack, clBlack);
  SeriesCircle4 = Circle(Chart2, "SeriesCircle4", clPurple, clPurple);

  SeriesSphereSmall = Bubbles(Chart2, "SeriesSphereSmall", 21, false, 60);
  SeriesSphereSmall->SetActive(false);

  SeriesTor3 = Surface(Chart2, "SeriesTor3", clYellow, false);
  SeriesTor4 = Surface(Chart2, "SeriesTor4", clYellow, false);
  SeriesLaueKh = Surface(Chart2, "SeriesLaueKh", 0xFF80FF, false);

  SeriesSphereKh = Bubbles(Chart2, "SeriesSphereKh", 10, false, 60);

  SeriesTor2 = Surface(Chart2, "SeriesTor2", clLime, false);
  SeriesTor1 = Surface(Chart2, "SeriesTor1", clLime, false);
  SeriesBraggFull = Surface(Chart2, "SeriesBraggFull", clYellow, false);
  SeriesSurfUp = Surface(Chart2, "SeriesSurfUp", clYellow, false);

  SeriesSphereBig = Bubbles(Chart2, "SeriesSphereBig", 21, false, 60);
  SeriesSphereBig->SetActive(false);

  SeriesNothingRec = Bubbles(Chart2, "SeriesNothingRec", 13, false, 0);
  SeriesNothingRec->SetSeriesColor(clBlack);
  SeriesNothingRec->SetColorEachPoint(false);

  // Nobody has drawn yet: the first view to attach draws the charts as built.
  Chart1.BeginDraw();
  Chart1.EndDraw();
  Chart2.BeginDraw();
  Chart2.EndDraw();
}

}  // namespace korvex
