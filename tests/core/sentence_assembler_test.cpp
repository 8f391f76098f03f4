#include "sentence_assembler.h"

#include <gtest/gtest.h>

namespace cronalba {
namespace {

using Times = std::vector<Text>;

constexpr TextView kRmc =
    u"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
constexpr TextView kGga = u"$GPGGA,090503,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
constexpr std::size_t kLimit = SentenceAssembler::kMaxBuffer;

// A GGA sentence of exactly `length` characters, CR LF included, whose time is 01:02:03.
Text ggaOfLength(std::size_t length) {
    const Text head = u"$GPGGA,010203,";
    return head + Text(length - head.size() - 2, u'x') + u"\r\n";
}

TEST(SentenceAssembler, ShowsASentenceOnlyOnceItsLastPieceArrives) {
    SentenceAssembler assembler;
    EXPECT_EQ(assembler.appendAndExtract(kRmc.substr(0, 20)), Times{});
    EXPECT_EQ(assembler.appendAndExtract(kRmc.substr(20, 40)), Times{});
    EXPECT_EQ(assembler.appendAndExtract(kRmc.substr(60)), Times{u"12:35:19"});
}

TEST(SentenceAssembler, ACarriageReturnWaitsForItsLineFeedInTheNextPiece) {
    SentenceAssembler assembler;
    EXPECT_EQ(assembler.appendAndExtract(kRmc.substr(0, kRmc.size() - 1)), Times{});
    EXPECT_EQ(assembler.appendAndExtract(u"\n"), Times{u"12:35:19"});
}

TEST(SentenceAssembler, DropsTextBeforeTheFirstDollarOnceItArrives) {
    SentenceAssembler assembler;
    EXPECT_EQ(assembler.appendAndExtract(u",1.7,-30.40,M,-13.9,M,,*7D\r\n"), Times{});
    EXPECT_EQ(assembler.buffer(), u",1.7,-30.40,M,-13.9,M,,*7D\r\n");
    EXPECT_EQ(assembler.appendAndExtract(u"garbage$GPGGA,0905"), Times{});
    EXPECT_EQ(assembler.buffer(), u"$GPGGA,0905");
}

TEST(SentenceAssembler, KeepsTheLineFeedAfterASentenceUntilTheNextDollar) {
    SentenceAssembler assembler;
    assembler.appendAndExtract(kRmc);
    EXPECT_EQ(assembler.buffer(), u"\n");
    EXPECT_EQ(assembler.appendAndExtract(kGga), Times{u"09:05:03"});
    EXPECT_EQ(assembler.buffer(), u"\n");
}

TEST(SentenceAssembler, HandlesEverySentenceOfOneReadInOrder) {
    SentenceAssembler assembler;
    const Text burst = Text(kRmc) + u"$GPGSV,3,1,11,03,03,111,00*74\r\n" + Text(kGga) +
                       u"$GPVTG,084.4,T,,M,022.4,N,041.5,K*43\r\n$GPRMC,1235";
    EXPECT_EQ(assembler.appendAndExtract(burst), (Times{u"12:35:19", u"09:05:03"}));
    EXPECT_EQ(assembler.buffer(), u"$GPRMC,1235");
}

TEST(SentenceAssembler, ConsumesSentencesThatShowNothing) {
    const Text sentences[] = {
        u"$GPRMC,,V,,,,,,,,,,N*53\r\n",                         // empty time field
        u"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n", // another type
        u"$gpgga,123519,4807.038,N*47\r\n",                     // lower case
        u"$GPGGA,126199,4807.038,N*47\r\n",                     // not a time of day
        u"$GPGGA\r\n",                                          // too short
    };
    for (const Text &sentence : sentences) {
        SentenceAssembler assembler;
        EXPECT_EQ(assembler.appendAndExtract(sentence), Times{}) << sentence.size();
        EXPECT_EQ(assembler.buffer(), u"\n");
    }
}

TEST(SentenceAssembler, OnlyCarriageReturnLineFeedEndsASentence) {
    SentenceAssembler assembler;
    EXPECT_EQ(assembler.appendAndExtract(u"$GPGGA,010203,x\n$GPRMC,040506,A\r"), Times{});
    // The sentence runs from the first "$" to the first CR LF, whatever lies between.
    EXPECT_EQ(assembler.appendAndExtract(u"\n"), Times{u"01:02:03"});
}

TEST(SentenceAssembler, TheFirstDollarStartsTheSentenceEvenWhenAnotherFollows) {
    SentenceAssembler assembler;
    EXPECT_EQ(assembler.appendAndExtract(u"$GPGSA,A,3,,*1E$GPRMC,235949.00,A\r\n"), Times{});
    EXPECT_EQ(assembler.appendAndExtract(u"$GPGGA,030130$GPGLL,1,N\r\n"), Times{});
}

TEST(SentenceAssembler, HeldTextCarriesOverIntoLaterReads) {
    SentenceAssembler assembler;
    assembler.appendAndExtract(u"$GPGGA,010203,");
    assembler.appendAndExtract(u"");
    EXPECT_EQ(assembler.appendAndExtract(u"x\r\n"), Times{u"01:02:03"});
}

TEST(SentenceAssembler, WithoutADollarKeepsTheNewestTextUpToTheLimit) {
    SentenceAssembler assembler;
    assembler.appendAndExtract(Text(1000, u'a'));
    EXPECT_EQ(assembler.buffer(), Text(1000, u'a'));

    assembler.appendAndExtract(Text(kLimit, u'b'));
    EXPECT_EQ(assembler.buffer(), Text(kLimit, u'b'));
    assembler.appendAndExtract(u"c");
    EXPECT_EQ(assembler.buffer(), Text(kLimit - 1, u'b') + u"c");

    EXPECT_EQ(assembler.appendAndExtract(kGga), Times{u"09:05:03"});
}

// The times that stream shows when it arrives in reads of `chunk` characters; checks after each
// read that the held text stays within the limit.
Times feedInReads(TextView stream, std::size_t chunk) {
    SentenceAssembler assembler;
    Times times;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        for (Text &time : assembler.appendAndExtract(stream.substr(at, chunk))) {
            times.push_back(std::move(time));
        }
        EXPECT_LE(assembler.buffer().size(), kLimit);
    }
    return times;
}

TEST(SentenceAssembler, HandlesWhatFitsTheLimitAndGivesUpWhatDoesNot) {
    const struct {
        Text stream;
        Times expected;
    } cases[] = {
        {ggaOfLength(kLimit), {u"01:02:03"}},
        {ggaOfLength(kLimit + 1) + Text(kRmc), {u"12:35:19"}},
    };
    for (const auto &c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{4096}, 2 * kLimit}) {
            EXPECT_EQ(feedInReads(c.stream, chunk), c.expected)
                << c.stream.size() << " characters in reads of " << chunk;
        }
    }
}

TEST(SentenceAssembler, ADollarInsideAnAbandonedSentenceStartsTheNextTry) {
    // The first "$" never ends within the limit; the one inside it does.
    SentenceAssembler assembler;
    const Text stream = u"$" + Text(kLimit, u'y') + Text(kGga);
    EXPECT_EQ(assembler.appendAndExtract(stream), Times{u"09:05:03"});
    EXPECT_EQ(assembler.buffer(), u"\n");
}

TEST(SentenceAssembler, StaysBoundedUnderEndlessDollarsWithoutLineEnds) {
    SentenceAssembler assembler;
    for (int i = 0; i < 100; ++i) {
        assembler.appendAndExtract(Text(4096, u'$'));
        ASSERT_LE(assembler.buffer().size(), kLimit);
        assembler.appendAndExtract(u"$GPGGA,010203," + Text(4000, u'z'));
        ASSERT_LE(assembler.buffer().size(), kLimit);
    }
    // Whatever is held is given up once a good sentence can no longer fit behind it.
    Times times;
    for (int i = 0; i < 20; ++i) {
        for (Text &time : assembler.appendAndExtract(kRmc)) {
            times.push_back(time);
        }
    }
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.back(), u"12:35:19");
}

} // namespace
} // namespace cronalba
