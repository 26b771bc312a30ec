// The cost of repainting the visible part of the map at 4x with every layer of the view on
// (clipdata overlay with its captions, block and screen grids, door rectangles, the selection
// and the outline), against a plain copy of the same number of pixels. The goal is a repaint
// under 16 ms (one frame at 60 Hz); the counters give the time and the ratio in one run.

#include "graphics/Surface.h"
#include "main/QtMapPainting.h"
#include "rom/RoomLayer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

namespace {

using namespace quarnel;
using Clock = std::chrono::steady_clock;

// The map area of a 1366 x 768 window.
constexpr int kVisibleWidth = 1040;
constexpr int kVisibleHeight = 520;
constexpr int kRoomBlocks = 255;

struct Scene {
    Surface picture;
    RoomLayer clip;
    std::vector<MapOverlay> doors;
    QImage target{kVisibleWidth, kVisibleHeight, QImage::Format_RGB32};

    Scene() {
        std::mt19937 random(12);
        picture.Resize(kRoomBlocks * 16, kRoomBlocks * 16);
        for (uint32_t& pixel : picture.Pixels()) {
            pixel = 0xFF000000u | (random() & 0xFFFFFFu);
        }
        clip.Resize(kRoomBlocks, kRoomBlocks);
        for (int y = 0; y < kRoomBlocks; ++y) {
            for (int x = 0; x < kRoomBlocks; ++x) {
                clip.SetCell(x, y, static_cast<int16_t>(random() % 4 == 0 ? random() % 0xA3 : 0));
            }
        }
        for (int k = 0; k < 12; ++k) {
            doors.push_back(
                {QRect(1600 + 48 * k, 1700, 16, 48), Qt::blue, QColor(40, 90, 220, 60), {}});
        }
    }

    // Paints what a map view scrolled to the room's middle shows.
    void Repaint() {
        MapViewLayers view;
        view.picture = &picture;
        view.zoom = 4;
        view.blockGrid = true;
        view.screenGrid = true;
        view.clip = &clip;
        view.overlays = &doors;
        view.selection = QRect(1616, 1712, 16, 16);
        view.outline = QRect(1632, 1728, 16, 16);
        const QPoint scrolled(picture.Width() * 2, picture.Height() * 2);
        QPainter painter(&target);
        painter.translate(-scrolled);
        PaintMapView(painter, QRect(scrolled, target.size()), view);
    }

    // Copies as many pixels as the view shows, row by row, from the picture.
    void PlainCopy() {
        const auto pixels = picture.Pixels();
        for (int y = 0; y < kVisibleHeight; ++y) {
            std::memcpy(target.scanLine(y),
                        pixels.data() + static_cast<size_t>(y) * picture.Width(),
                        kVisibleWidth * sizeof(uint32_t));
        }
    }
};

double SecondsPer(Scene& scene, void (Scene::*step)(), int rounds) {
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        (scene.*step)();
        benchmark::DoNotOptimize(scene.target.constBits());
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / rounds;
}

void BM_ZoomedRepaint4x(benchmark::State& state) {
    Scene scene;
    const double copy = SecondsPer(scene, &Scene::PlainCopy, 200);
    double total = 0;
    int64_t rounds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        scene.Repaint();
        benchmark::DoNotOptimize(scene.target.constBits());
        total += std::chrono::duration<double>(Clock::now() - start).count();
        ++rounds;
    }
    const double each = total / static_cast<double>(rounds);
    state.counters["repaint_ms"] = each * 1000.0;
    state.counters["copy_ms"] = copy * 1000.0;
    state.counters["ratio_to_copy"] = each / copy;
    state.counters["under_16ms"] = each < 0.016 ? 1 : 0;
}
BENCHMARK(BM_ZoomedRepaint4x)->Unit(benchmark::kMillisecond);

void BM_PlainCopyOfTheVisibleArea(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.PlainCopy();
        benchmark::DoNotOptimize(scene.target.constBits());
    }
}
BENCHMARK(BM_PlainCopyOfTheVisibleArea)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Text needs a font database, which needs an application; no screen is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
