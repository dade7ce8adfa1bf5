# Window placement and remembered geometry.
