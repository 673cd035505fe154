#pragma once
// Draws a chart through OpenGL (fixed-function pipeline of OpenGL 2.0, which Mesa's
// software renderer has): lit spheres, cones and surfaces, depth-tested, transparent
// series blended far to near. Geometry is built per series in chart axes and kept
// until the series changes, so turning the view only changes the matrices.
#include <QOpenGLFunctions_2_0>
#include <QString>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "chart/Chart.h"
#include "chart/Projection.h"

namespace korvex {

// Whether the current context renders in software (Mesa llvmpipe and the like). There
// multisampling would cost about four times the frame time, so the renderer smooths
// lines and markers only (and not the lines that trace surfaces).
bool SoftwareOpenGL();
// Multisampling for a chart's OpenGL pictures: 4 samples when antialiasing is on and
// the driver is a hardware one, else none. Needs a current context.
int ChartSamples(bool antialias);

class TGLRenderer : protected QOpenGLFunctions_2_0 {
 public:
  TGLRenderer() = default;
  TGLRenderer(const TGLRenderer&) = delete;
  TGLRenderer& operator=(const TGLRenderer&) = delete;
  // Frees the buffers; the context must be current.
  ~TGLRenderer();
  // Needs a current context; false (with the reason) when it cannot draw.
  bool Initialize(QString* error);
  // Draws into the current framebuffer of width x height device pixels. Marks and
  // texts are not drawn here (see CollectLabels).
  void Render(const TChart& chart, int width, int height);
  // Geometry rebuilds so far (a series whose points or looks changed, or a new zoom).
  int Rebuilds() const { return Rebuilds_; }
  size_t TriangleCount() const { return Triangles_; }

 private:
  struct TBatch {
    std::uint64_t DataRev = 0, StyleRev = 0;
    double Scale = 0;
    bool Used = false;
    // Lit triangles.
    std::vector<float> Pos, Nrm;
    std::vector<unsigned char> Col;
    std::vector<unsigned> Idx;
    unsigned Buffers[4] = {0, 0, 0, 0};  // positions, normals, colours, indices
    size_t IndexCount = 0;
    bool Transparent = false;
    bool Closed = false;  // spheres: transparent ones are drawn back faces first
    double Centre[3] = {0, 0, 0};
    // Lines: pairs of vertices, one width and stipple per run.
    struct TRun {
      unsigned First, Count;
      float Width;
      int Style;
    };
    std::vector<float> LinePos;
    std::vector<unsigned char> LineCol;
    std::vector<TRun> Runs;
    unsigned LineBuffers[2] = {0, 0};  // positions, colours
    bool SurfaceLines = false;  // the lines trace the faces of a surface
    // Markers in pixels.
    std::vector<float> MarkPos;
    std::vector<unsigned char> MarkCol;
    float MarkSize = 0;
    bool MarkRound = false;
    // Spheres only a few pixels across: shaded point sprites, one run per diameter.
    std::vector<float> SpritePos;
    std::vector<unsigned char> SpriteCol;
    std::vector<TRun> SpriteRuns;
  };
  void Build(TBatch& b, const TChartSeries& s, double scale);
  void DrawTriangles(const TBatch& b);
  void Upload(TBatch& b);
  void Free(TBatch& b);
  void DrawLinesAndMarks(const TBatch& b, bool antialias);
  void DrawSprites(const TBatch& b);
  unsigned SpriteTexture(int diameter);
  std::map<int, unsigned> SpriteTextures_;  // by diameter in pixels

  std::unordered_map<const TChartSeries*, TBatch> Cache_;
  int Rebuilds_ = 0;
  size_t Triangles_ = 0;
  bool Ready_ = false;
  // Drawing in software: there smoothing the thousands of lines that trace a surface costs
  // more than the surface itself, so those are drawn sharp; all other lines stay smooth.
  bool Software_ = false;
};

}  // namespace korvex
