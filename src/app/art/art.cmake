# filled by the artwork work
