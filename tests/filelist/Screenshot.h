#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// Where a test saves what a user would see, for a person to look at: beside the build.
QString screenshotPath(const QString& name);

// True when the band of the image holds more than one colour: something was drawn there.
bool drawnIn(const QImage& image, const QRect& band);
