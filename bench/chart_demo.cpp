// Shows both charts with the whole series catalogue filled, or the light or heavy
// benchmark scene, on the canvas or through OpenGL.
//   chart_demo [--gl] [--scene catalogue|light|heavy] [--size N] [--shot prefix]
// With --shot the pictures of both charts are saved as prefix1.png and prefix2.png
// after the first drawing and the program ends.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <string>

#include "bench/chart_scenes.h"
#include "chart/view/ChartView.h"
#include "chart/view/Commander.h"

using namespace korvex;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  bool gl = false;
  std::string scene = "catalogue", shot;
  int size = 640;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--gl") gl = true;
    else if (a == "--scene" && i + 1 < argc) scene = argv[++i];
    else if (a == "--size" && i + 1 < argc) size = std::stoi(argv[++i]);
    else if (a == "--shot" && i + 1 < argc) shot = argv[++i];
  }
  TChartCatalogue cat;
  if (scene == "light") {
    chartdemo::FillLight(cat.Chart1);
    chartdemo::FillLight(cat.Chart2);
  } else if (scene == "heavy") {
    chartdemo::FillHeavy(cat.Chart1);
    chartdemo::FillHeavy(cat.Chart2);
    cat.Chart2.View3DOptions().SetElevation(300);
  } else {
    chartdemo::FillCatalogue(cat);
  }
  for (TChart* c : {&cat.Chart1, &cat.Chart2}) {
    c->Foot().Text = "Korvex chart demo";
    c->Foot().Visible = true;
    c->Foot().Font.Color = clRed;
    c->SubFoot().Text = gl ? "OpenGL" : "canvas";
    c->SubFoot().Visible = true;
    c->SubFoot().CustomPosition = true;
    c->SubFoot().Left = size - 115;
    c->SubFoot().Top = size - 22;
    c->SubFoot().Font.Color = clRed;
  }
  cat.TeeOpenGL1.SetActive(gl);
  cat.TeeOpenGL2.SetActive(gl);

  QWidget window;
  window.setWindowTitle("Korvex charts");
  auto* col = new QVBoxLayout(&window);
  auto* commander = new TTeeCommander(&window);
  col->addWidget(commander);
  auto* row = new QHBoxLayout;
  col->addLayout(row);
  auto* v1 = new TChartView(cat.Chart1, &window);
  auto* v2 = new TChartView(cat.Chart2, &window);
  for (TChartView* v : {v1, v2}) {
    v->setFixedSize(size, size);
    row->addWidget(v);
  }
  commander->SetPanel(v2);
  v1->OnDblClick = [commander, v1] { commander->SetPanel(v1); };
  v2->OnDblClick = [commander, v2] { commander->SetPanel(v2); };
  auto* status = new QLabel(&window);
  col->addWidget(status);
  QObject::connect(v1, &TChartView::OpenGLFailed, status, &QLabel::setText);
  window.show();

  if (!shot.empty()) {
    QTimer::singleShot(1500, [&] {
      v1->Picture().save(QString::fromStdString(shot + "1.png"));
      v2->Picture().save(QString::fromStdString(shot + "2.png"));
      std::printf("OpenGL in use: %d %d %s\n", v1->UsingOpenGL(), v2->UsingOpenGL(),
                  v1->OpenGLMessage().toStdString().c_str());
      app.quit();
    });
  }
  return app.exec();
}
