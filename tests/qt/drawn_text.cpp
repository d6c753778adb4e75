#include "drawn_text.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextItem>
#include <QWidget>

namespace testing_support::qt {
namespace {

// A paint engine that keeps the text of every text item and draws nothing.
class TextRecorder : public QPaintEngine {
  public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice* /*device*/) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& /*state*/) override {}
    void drawPixmap(const QRectF& /*r*/, const QPixmap& /*pm*/, const QRectF& /*sr*/) override {}
    void drawPath(const QPainterPath& /*path*/) override {}
    // The base class's two polygon overloads call each other.
    void drawPolygon(const QPointF* /*points*/, int /*count*/, PolygonDrawMode /*mode*/) override {}
    void drawTextItem(const QPointF& /*p*/, const QTextItem& item) override {
        texts << item.text();
    }
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
};

class TextDevice : public QPaintDevice {
  public:
    explicit TextDevice(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QStringList Texts() const { return m_engine.texts; }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return m_size.width();
            case PdmHeight:
                return m_size.height();
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
            case PdmDevicePixelRatioScaled:
                return 1;
            default:
                return QPaintDevice::metric(metric);
        }
    }

  private:
    QSize m_size;
    mutable TextRecorder m_engine;
};

}  // namespace

QStringList DrawnTexts(QWidget& widget) {
    TextDevice device(widget.size());
    widget.render(&device);
    return device.Texts();
}

}  // namespace testing_support::qt
