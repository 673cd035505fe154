#pragma once
// The two charts of the main window with their fixed series, rotate tools and OpenGL
// switches, built with their initial settings. Needs no window: scenes can be built
// and checked without one.
#include "chart/Chart.h"
#include "chart/Series.h"

namespace korvex {

struct TChartCatalogue {
  TChartCatalogue();
  TChartCatalogue(const TChartCatalogue&) = delete;
  TChartCatalogue& operator=(const TChartCatalogue&) = delete;

  TChart Chart1;  // real space
  TChart Chart2;  // reciprocal space

  // Chart1, in drawing order.
  TBubble3DSeries* SeriesSpheres;
  TVector3DSeries* SeriesVec2;
  TTriSurfaceSeries* SeriesSurfInc;
  TVector3DSeries* SeriesLines;
  TTriSurfaceSeries* SeriesSurf;
  TVector3DSeries* SeriesBeams2;
  TVector3DSeries* SeriesBeams;
  TVector3DSeries* SeriesVec;
  TPoint3DSeries* SeriesDetector;
  TBubble3DSeries* SeriesPoint;
  TTriSurfaceSeries* SeriesRealPSD;
  TBubble3DSeries* SeriesRealPSDpoints;

  // Chart2, in drawing order.
  TVector3DSeries* SeriesVecRecipr2;
  TVector3DSeries* SeriesBeamsRec;
  TVector3DSeries* SeriesBeamsRec2;
  TBubble3DSeries* SeriesPointRes;
  TVector3DSeries* SeriesVecRecipr;
  TSurfaceSeries* SeriesSurfKh0;
  TSurfaceSeries* SeriesSurfDwn;
  TSurfaceSeries* SeriesSurfK00;
  TTriSurfaceSeries* SeriesSurfResPlane;
  TTriSurfaceSeries* SeriesSurfIncRes;
  TPoint3DSeries* SeriesCircle1;
  TPoint3DSeries* SeriesCircle2;
  TPoint3DSeries* SeriesCircle3;
  TPoint3DSeries* SeriesCircle4;
  TBubble3DSeries* SeriesSphereSmall;
  TSurfaceSeries* SeriesTor3;
  TSurfaceSeries* SeriesTor4;
  TSurfaceSeries* SeriesLaueKh;
  TBubble3DSeries* SeriesSphereKh;
  TSurfaceSeries* SeriesTor2;
  TSurfaceSeries* SeriesTor1;
  TSurfaceSeries* SeriesBraggFull;
  TSurfaceSeries* SeriesSurfUp;
  TBubble3DSeries* SeriesSphereBig;
  TBubble3DSeries* SeriesNothingRec;

  TRotateTool& ChartTool1;   // Chart1
  TRotateTool& RotateTool1;  // Chart2
  TTeeOpenGL& TeeOpenGL1;    // Chart1
  TTeeOpenGL& TeeOpenGL2;    // Chart2
};

}  // namespace korvex
