/* stb_image with the size of every block it asks for noted, for the tests that bound the
   largest. The blocks themselves come from malloc, so that the sanitizers see them all. */
#include <stddef.h>
#include <stdlib.h>

static size_t largestRequest;

static size_t noteRequest(size_t size)
{
    if (size > largestRequest)
        largestRequest = size;
    return size;
}

size_t largestStbRequest(void) { return largestRequest; }
void forgetStbRequests(void) { largestRequest = 0; }

#define STBI_MALLOC(size) malloc(noteRequest(size))
#define STBI_REALLOC(block, size) realloc(block, noteRequest(size))
#define STBI_FREE(block) free(block)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
