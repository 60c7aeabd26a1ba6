// Builds the model's initial image (the template behind File New and the
// source of the fixed bytes of the normalizing pass) from the channel plan
// data in data/: which slots each plan uses, simplex, TX inhibit and 1 W per
// plan, the shared channel names and the weather channel names. Every other
// byte gets the documented default (docs/initial-image.md).
#pragma once

#include <string>

#include "data/EepromImage.h"

namespace twk {

// `channelsCsv` and `weatherCsv` are the texts of marine-vhf-channels.csv and
// noaa-weather-channels.csv. On success `image` (resized to the model's size)
// holds the initial image; on failure `error` says which row is wrong and
// `image` is unspecified.
bool BuildInitialImage(const std::string& channelsCsv, const std::string& weatherCsv,
                       EepromImage& image, std::string* error);

}  // namespace twk
