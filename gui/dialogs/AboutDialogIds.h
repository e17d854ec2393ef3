#pragma once

namespace rm {

// The template of the About box and its two links.
enum AboutBoxTemplate { IddAbout = 100 };
enum AboutBoxId { IdWebLink = 1037, IdMailLink = 1038 };

} // namespace rm
