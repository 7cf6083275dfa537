// Pages whose heads crowd tags, markers and comments onto single lines: after an insertion the
// head carries the one new tag and marker and no other live keywords tag or marker, while
// commented-out markup stays as it stands.

#include "batch/insertion.h"

#include "../support/marker_text.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace tagwright {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const std::string kTag = "<meta name=\"keywords\" content=\"new\">";
const std::string kMarker = "<meta name=\"QOVA done\" content=\"2024-03-05\">";

class HostilePage : public ::testing::Test {
protected:
    // The page after an insertion with a done marker.
    std::string inserted(const std::string& page)
    {
        writeBytes(folder.path("p.htm"), page);
        InsertRequest request;
        request.tag = kTag;
        request.path = folder.path("p.htm");
        request.withDone = true;
        request.doneDate = "2024-03-05";
        EXPECT_EQ(insertMetaTag(request, nullptr).result, kInserted);
        return test::withoutFingerprints(readBytes(folder.path("p.htm")));
    }

    TempFolder folder;
};

TEST_F(HostilePage, EveryTagAndMarkerSharingALineGoes)
{
    EXPECT_EQ(inserted("<head><meta name=\"keywords\" content=\"a\"><meta name=\"KEYWORDS\" "
                       "content=\"b\"> x\r\n</head>"),
              "<head>\r\n" + kTag + "\r\n" + kMarker + "\r\nx\r\n</head>");
    // A marker before the tag on the line no longer hides it, nor survives beside the new one.
    EXPECT_EQ(
        inserted(
            "<head>\r\n<meta name=\"qova done\" content=\"2020-01-01\"> <meta name=\"keywords\" "
            "content=\"a\"> <meta name=\"qova done\" content=\"2021-01-01\">\r\n</head>"),
        "<head>\r\n" + kTag + "\r\n" + kMarker + "\r\n</head>");
}

TEST_F(HostilePage, LiveTagsBesideACommentGoAndTheCommentStays)
{
    EXPECT_EQ(inserted("<head>\r\n<meta name=\"keywords\" content=\"a\"> <!-- <meta "
                       "name=\"keywords\" content=\"b\"> "
                       "-->\r\n</head>"),
              "<head>\r\n" + kTag + "\r\n" + kMarker +
                  "\r\n<!-- <meta name=\"keywords\" content=\"b\"> -->\r\n</head>");
    EXPECT_EQ(inserted("<head>\r\n<!-- open\r\n\r\nstill --> <meta name=\"keywords\" "
                       "content=\"a\">\r\n</head>"),
              "<head>\r\n<!-- open\r\n\r\nstill --> \r\n" + kTag + "\r\n" + kMarker +
                  "\r\n</head>");
}

TEST_F(HostilePage, NothingIsReplacedBehindTheEndOfTheHead)
{
    const std::string body = "<meta name=\"keywords\" content=\"body\">";
    EXPECT_EQ(inserted("<head></head>" + body),
              "<head>\r\n" + kTag + "\r\n" + kMarker + "\r\n</head>" + body);
    // A marker left open takes neither a comment that opens behind it nor the end of the head.
    EXPECT_EQ(
        inserted("<head>\r\n<meta name=\"qova done\" content=<!-- x\r\n<meta name=\"qova done\" "
                 "content=\"2020-01-01\"> -->\r\n</head>"),
        "<head>\r\n<!-- x\r\n<meta name=\"qova done\" content=\"2020-01-01\"> -->\r\n" + kTag +
            "\r\n" + kMarker + "\r\n</head>");
    EXPECT_EQ(inserted("<head><meta name=\"qova done\" content=\"x\" </head><body>"),
              "<head>\r\n" + kTag + "\r\n" + kMarker + "\r\n</head><body>");
}

} // namespace
} // namespace tagwright
