// Zip reader for extraction (work in progress).
