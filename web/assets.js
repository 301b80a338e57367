// SPDX-FileCopyrightText: 2026 Tavelk authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What the page carries inside it, made by tools/build-web.sh into
// build-web/assets/ and inlined by the bundler: images as data URLs, the
// cues as bytes. Nothing is fetched at run time.

import cardSprite from "../build-web/assets/cards.png";
import icon from "../build-web/assets/icon.png";
import endpinpon from "../build-web/assets/endpinpon.flac";
import pinpon from "../build-web/assets/pinpon.flac";

export { cardSprite, icon };
export const sounds = { pinpon, endpinpon };
