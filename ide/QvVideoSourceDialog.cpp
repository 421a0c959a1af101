#include "QvVideoSourceDialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "QvGWorld/QvPixelBuffer.h"
#include "QvMediaSettingsStore.h"

namespace {
constexpr int kPreviewIntervalMs = 100;
constexpr int kSliderSteps = 1000;
constexpr const char* kSettingNames[QV_MEDIA_SETTING_COUNT] = {
    "Hue", "Saturation", "Brightness", "Contrast", "Sharpness", "Black level", "White level", "Gamma"};
constexpr QSize kSizes[] = {{0, 0}, {160, 120}, {320, 240}, {640, 480}, {1280, 720}, {1920, 1080}};

QString sizeText(const QSize& size) {
    return size.isEmpty() ? QStringLiteral("The camera's own")
                          : QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString messageOf(QvException* error) {
    QString text = QString::fromStdString(error->message());
    delete error;
    return text;
}
}  // namespace

QvVideoSourceDialog::QvVideoSourceDialog(QWidget* parent)
    : QDialog(parent), camera_(new QComboBox), preview_(new QLabel) {
    setWindowTitle(QStringLiteral("Videosource Settings"));
    preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet(QStringLiteral("background: black; color: white;"));
    preview_->setText(QStringLiteral("No picture"));

    auto* source = new QGroupBox(QStringLiteral("Camera"));
    auto* sourceLayout = new QVBoxLayout(source);
    sourceLayout->addWidget(camera_);
    sourceLayout->addWidget(preview_);

    auto* settingsColumn = new QVBoxLayout;
    settingsColumn->addWidget(createPictureRows());
    settingsColumn->addWidget(createCaptureRows());
    settingsColumn->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addWidget(source, 0, Qt::AlignTop);
    columns->addLayout(settingsColumn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(QvMediaSettingsStore::createButtons(this, [this] { setSettings(QvCaptureSettings()); }));

    connect(camera_, &QComboBox::currentIndexChanged, this, &QvVideoSourceDialog::openCamera);
    connect(&previewTimer_, &QTimer::timeout, this, &QvVideoSourceDialog::showNextPicture);
}

QvVideoSourceDialog::~QvVideoSourceDialog() = default;

// Each setting is either left as the camera has it (unticked) or set from 0 to 1.
QWidget* QvVideoSourceDialog::createPictureRows() {
    auto* group = new QGroupBox(QStringLiteral("Picture"));
    auto* grid = new QGridLayout(group);
    for (int which = 0; which < QV_MEDIA_SETTING_COUNT; ++which) {
        PictureRow& row = picture_[size_t(which)];
        row.chosen = new QCheckBox(QString::fromLatin1(kSettingNames[which]));
        row.chosen->setToolTip(QStringLiteral("Unticked: as the camera has it"));
        row.slider = new QSlider(Qt::Horizontal);
        row.slider->setRange(0, kSliderSteps);
        row.slider->setMinimumWidth(160);
        row.value = new QLabel;
        row.value->setMinimumWidth(48);
        grid->addWidget(row.chosen, which, 0);
        grid->addWidget(row.slider, which, 1);
        grid->addWidget(row.value, which, 2);
        connect(row.chosen, &QCheckBox::toggled, this, [this, which] { applyPictureSetting(which); });
        connect(row.slider, &QSlider::valueChanged, this, [this, which] { applyPictureSetting(which); });
    }
    return group;
}

QWidget* QvVideoSourceDialog::createCaptureRows() {
    auto* group = new QGroupBox(QStringLiteral("Pictures"));
    auto* form = new QFormLayout(group);
    size_ = new QComboBox;
    for (const QSize& size : kSizes) size_->addItem(sizeText(size), size);
    frameRate_ = new QDoubleSpinBox;
    frameRate_->setRange(1, 240);
    frameRate_->setDecimals(2);
    frameRate_->setSuffix(QStringLiteral(" frames per second"));
    form->addRow(QStringLiteral("Size:"), size_);
    form->addRow(QStringLiteral("Frame rate:"), frameRate_);
    return group;
}

bool QvVideoSourceDialog::prepare() {
    std::vector<std::string> names;
    try {
        names = QvCaptureDevice::names();
    } catch (QvException* error) {
        QvMediaSettingsStore::tellCannotConnect(this, messageOf(error));
        return false;
    }
    if (names.empty()) {
        QvMediaSettingsStore::warn(this, QString::fromLatin1(kNoVideoSource));
        return false;
    }
    const QvCaptureSettings stored =
        QvMediaSettingsStore::stored<QvCaptureSettings>(QvMediaSettingsStore::Kind::VideoSource, this);
    {
        const QSignalBlocker quiet(camera_);
        for (const std::string& name : names) camera_->addItem(QString::fromStdString(name));
        setSettings(stored);
    }
    openCamera();
    return true;
}

QvCaptureSettings QvVideoSourceDialog::settings() const {
    QvCaptureSettings settings;
    settings.device = camera_->currentText().toStdString();
    const QSize size = size_->currentData().toSize();
    settings.width = size.width();
    settings.height = size.height();
    settings.frameRate = frameRate_->value();
    for (int which = 0; which < QV_MEDIA_SETTING_COUNT; ++which) {
        const PictureRow& row = picture_[size_t(which)];
        settings.picture[which] = row.chosen->isChecked() ? double(row.slider->value()) / kSliderSteps : -1;
    }
    return settings;
}

// A device that is not there any more leaves the first camera chosen.
void QvVideoSourceDialog::setSettings(const QvCaptureSettings& settings) {
    const int device = camera_->findText(QString::fromStdString(settings.device));
    if (device >= 0) camera_->setCurrentIndex(device);
    const QSize size(settings.width, settings.height);
    if (size_->findData(size) < 0) size_->addItem(sizeText(size), size);
    size_->setCurrentIndex(size_->findData(size));
    frameRate_->setValue(settings.frameRate);
    for (int which = 0; which < QV_MEDIA_SETTING_COUNT; ++which) {
        PictureRow& row = picture_[size_t(which)];
        const double value = settings.picture[which];
        const QSignalBlocker quietBox(row.chosen), quietSlider(row.slider);
        row.chosen->setChecked(value >= 0);
        row.slider->setValue(value >= 0 ? int(value * kSliderSteps + 0.5) : kSliderSteps / 2);
        applyPictureSetting(which);
    }
}

void QvVideoSourceDialog::applyPictureSetting(int which) {
    PictureRow& row = picture_[size_t(which)];
    const bool chosen = row.chosen->isChecked();
    row.slider->setEnabled(chosen);
    row.value->setText(chosen ? QStringLiteral("%1%").arg(row.slider->value() * 100 / kSliderSteps)
                              : QStringLiteral("camera"));
    if (!chosen || !device_) return;
    try {
        device_->setSetting(static_cast<QvMediaPictureSetting>(which), double(row.slider->value()) / kSliderSteps);
    } catch (QvException* error) {
        row.value->setToolTip(messageOf(error));
    }
}

// The preview shows the chosen camera with the picture settings chosen here.
void QvVideoSourceDialog::openCamera() {
    previewTimer_.stop();
    device_.reset();
    preview_->setPixmap(QPixmap());
    preview_->setText(QStringLiteral("No picture"));
    try {
        device_ = std::make_unique<QvCaptureDevice>(camera_->currentText().toStdString(), kPreviewWidth,
                                                    kPreviewHeight, frameRate_->value());
        if (!previewBuffer_) previewBuffer_ = QvPixelBuffer::create(kPreviewWidth, kPreviewHeight);
    } catch (QvException* error) {
        device_.reset();
        QvMediaSettingsStore::warn(this, QString::fromLatin1(kCannotOpenCamera), messageOf(error));
        return;
    }
    for (int which = 0; which < QV_MEDIA_SETTING_COUNT; ++which) applyPictureSetting(which);
    showNextPicture();
    previewTimer_.start(kPreviewIntervalMs);
}

void QvVideoSourceDialog::showNextPicture() {
    if (!device_ || !previewBuffer_) return;
    try {
        device_->grab(*previewBuffer_);
    } catch (QvException* error) {
        previewTimer_.stop();
        preview_->setPixmap(QPixmap());
        preview_->setText(messageOf(error));
        return;
    }
    uint8_t* pixels = previewBuffer_->lock();
    const QImage picture(pixels, kPreviewWidth, kPreviewHeight, qsizetype(previewBuffer_->rowBytes()),
                         QImage::Format_RGB32);
    preview_->setPixmap(QPixmap::fromImage(picture.copy()));
    previewBuffer_->unlock();
}

QImage QvVideoSourceDialog::previewPicture() const { return preview_->pixmap().toImage(); }

void QvVideoSourceDialog::accept() {
    previewTimer_.stop();
    device_.reset();
    QvMediaSettingsStore::store(QvMediaSettingsStore::Kind::VideoSource, settings().toBlob());
    QDialog::accept();
}
