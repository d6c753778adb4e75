#pragma once
// A progress bar showing the model's range and position; while a file transfer runs, it also
// fills within the current step as the file's bytes come and names the file, the bytes done
// and the rate over the strip.

#include <QProgressBar>
#include <optional>

#include "control_view.h"
#include "file_progress.h"
#include "platform/ui/progress_bar.h"

class QPainter;

namespace qtfront {

class ProgressView final : public QProgressBar, public ControlView {
  public:
    ProgressView(platform::ui::ProgressBar& bar, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

    // A report about the running transfer; its end takes the file's part away again.
    void ShowTransfer(const platform::ui::TransferProgress& progress);
    // The position as drawn, in the model's steps: between the model's position and the
    // next step while a file is on its way.
    double FinePosition() const;
    // What is written over the strip: the file's name, then its amounts; empty when no
    // transfer runs.
    QString TransferText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Render();
    void PaintTransferText(QPainter& painter, int filledWidth) const;

    platform::ui::ProgressBar* m_bar;
    Scale m_scale;
    std::optional<FileProgress> m_transfer;
};

}  // namespace qtfront
