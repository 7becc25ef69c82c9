#pragma once

#include <QImage>

class JpegDecoder;

// The images of a JPEG: grey as Grayscale8 and RGB as RGB32, the pixels and
// formats Qt's own reader gives; four inks as a separation, like the TIFF
// reader's: the preview, then C, M, Y in R, G, B, then K in R with full
// coverage in G.
struct JpegImages {
    QImage picture;
    QImage inks;
    QImage blackAndCoverage;
};

// Decodes every row of a started decoder, band by band, and reads on to the
// end of the file; false, with the decoder's failure, when it cannot.
bool decodeJpegImages(JpegDecoder &decoder, JpegImages *images);
