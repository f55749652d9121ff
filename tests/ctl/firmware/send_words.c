/* What a product's firmware does with an exported configuration, over a serial line to the
 * board in place of SPI: each word goes out as one telegram frame, "#" and its four bytes most
 * significant first, and its four-byte answer is read before the next. Built from the header as
 * C99 and as C++ alike. */
#ifndef _DEFAULT_SOURCE
#define _DEFAULT_SOURCE /* cfmakeraw and the POSIX calls under -std=c99 */
#endif
#include VRX_EXPORT_HEADER

#include <fcntl.h>
#include <stdio.h>
#include <termios.h>
#include <unistd.h>

static int read_all(int fd, unsigned char* bytes, int count) {
    int got = 0;
    while (got < count) {
        const ssize_t n = read(fd, bytes + got, (size_t)(count - got));
        if (n <= 0) {
            return -1;
        }
        got += (int)n;
    }
    return 0;
}

int main(int argc, char** argv) {
    struct termios line;
    int fd;
    int i;
    if (argc != 2) {
        fprintf(stderr, "usage: send_words DEVICE\n");
        return 2;
    }
    fd = open(argv[1], O_RDWR | O_NOCTTY);
    if (fd < 0 || tcgetattr(fd, &line) != 0) {
        perror(argv[1]);
        return 1;
    }
    cfmakeraw(&line);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 20; /* a read waits 2 s at most: a board that does not answer ends it */
    tcsetattr(fd, TCSANOW, &line);
    for (i = 0; i < vrx630_config_WORDS; ++i) {
        const uint32_t word = vrx630_config[i];
        unsigned char frame[5];
        unsigned char answer[4];
        frame[0] = '#';
        frame[1] = (unsigned char)(word >> 24);
        frame[2] = (unsigned char)(word >> 16);
        frame[3] = (unsigned char)(word >> 8);
        frame[4] = (unsigned char)word;
        if (write(fd, frame, sizeof frame) != (ssize_t)sizeof frame ||
            read_all(fd, answer, 4) != 0) {
            fprintf(stderr, "word %d was not answered\n", i);
            return 1;
        }
    }
    close(fd);
    return 0;
}
