# Plain-word names, assistive input and glyph coverage.
