// Sending with the socket's send replaced: pieces of at most 64,000 bytes,
// one a heartbeat; partial sends keep their unsent bytes; would-block keeps
// everything; a failed send ends the session; a full queue is reported.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/DataPipeFrames.h"
#include "platform/tests/FrameBytes.h"
#include "platform/TCPAppSocket.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

class CScriptedSend : public CTCPAppSocket {
public:
    CScriptedSend() { m_fConnected = 1; }
    ssize_t SendBytes(const char* data, size_t count) override {
        m_aCalls.push_back(count);
        if (m_nFailure) {
            errno = m_nFailure;
            return -1;
        }
        const size_t n = std::min(count, m_nPerCall);
        m_aSent.insert(m_aSent.end(), data, data + n);
        return ssize_t(n);
    }
    std::vector<size_t> m_aCalls;
    Bytes m_aSent;
    size_t m_nPerCall = SIZE_MAX;
    int m_nFailure = 0;
};

struct SPayload {
    CMemBlockT<unsigned char> block;
    explicit SPayload(uint32_t n) {
        EXPECT_EQ(block.Resize(n, 0), 1);
        for (uint32_t i = 0; i < n; ++i) {
            block.GetData()[i] = uint8_t(i * 7 + 1);
        }
    }
};

Bytes Frame(uint32_t id, const CMemBlockT<unsigned char>& payload) {
    return ::Frame(id, Bytes(payload.GetData(), payload.GetData() + payload.GetCount()));
}

// Heartbeats until the session has nothing left to send (at most limit).
void SendAll(CScriptedSend& session, int32_t limit) {
    for (int32_t i = 0; i < limit; ++i) {
        ASSERT_EQ(session.Process(), eNoError);
    }
}

TEST(DataPipeSend, AMessageLeavesInPiecesOfAtMost64000BytesOneAHeartbeat) {
    CScriptedSend session;
    SPayload payload(150000);
    ASSERT_EQ(session.SendMessage(9, &payload.block), eNoError);
    for (size_t beats = 1; beats <= 3; ++beats) {
        ASSERT_EQ(session.Process(), eNoError);
        EXPECT_EQ(session.m_aCalls.size(), beats);
    }
    SendAll(session, 3);
    EXPECT_EQ(session.m_aCalls, (std::vector<size_t>{64000, 64000, 22020}));
    EXPECT_EQ(session.m_aSent, Frame(9, payload.block));
}

TEST(DataPipeSend, PartialSendsKeepTheirUnsentBytesInOrder) {
    CScriptedSend session;
    session.m_nPerCall = 1000;
    SPayload big(150000), small(10), none(0);
    ASSERT_EQ(session.SendMessage(1, &big.block), eNoError);
    ASSERT_EQ(session.SendMessage(2, &small.block), eNoError);
    ASSERT_EQ(session.SendMessage(3, nullptr), eNoError);
    SendAll(session, 400);
    Bytes expected = Frame(1, big.block);
    for (const Bytes& f : {Frame(2, small.block), Frame(3, none.block)}) {
        expected.insert(expected.end(), f.begin(), f.end());
    }
    EXPECT_EQ(session.m_aSent, expected);
    EXPECT_LE(*std::max_element(session.m_aCalls.begin(), session.m_aCalls.end()), 64000u);
}

TEST(DataPipeSend, WouldBlockKeepsEverythingForTheNextHeartbeat) {
    CScriptedSend session;
    SPayload payload(70000);
    ASSERT_EQ(session.SendMessage(4, &payload.block), eNoError);
    session.m_nFailure = EAGAIN;
    SendAll(session, 5);
    EXPECT_TRUE(session.m_aSent.empty());
    EXPECT_FALSE(session.IsClosed());
    EXPECT_EQ(session.m_aCalls, std::vector<size_t>(5, 64000));
    session.m_nFailure = 0;
    SendAll(session, 5);
    EXPECT_EQ(session.m_aSent, Frame(4, payload.block));
}

TEST(DataPipeSend, AFailedSendEndsTheSession) {
    CScriptedSend session;
    static int32_t closes = 0;
    closes = 0;
    session.SetCloseCallback(
        [](CTCPAppSocket*, void*) -> error {
            ++closes;
            return eNoError;
        },
        nullptr);
    SPayload payload(10);
    ASSERT_EQ(session.SendMessage(4, &payload.block), eNoError);
    session.m_nFailure = EPIPE;
    (void)session.Process(); // the close hook's answer
    EXPECT_TRUE(session.IsClosed());
    EXPECT_FALSE(session.IsConnected());
    EXPECT_EQ(session.GetLastResult(), uint32_t(EPIPE));
    EXPECT_EQ(closes, 1);
    (void)session.Process();
    EXPECT_EQ(session.m_aCalls.size(), 1u) << "nothing more is sent";
}

// A block that claims more bytes than a frame can hold (it holds none).
struct SHugeBlock : CMemBlockT<unsigned char> {
    SHugeBlock() { m_nCount = 0xFFFFFFFFu - kFrameHeaderBytes + 1; }
};

TEST(DataPipeSend, APayloadWhoseFrameWouldPass4GiBIsRefused) {
    CScriptedSend session;
    SHugeBlock huge;
    EXPECT_EQ(session.SendMessage(1, &huge), eBadParameter);
    EXPECT_EQ(session.QueuedMessages(), 0);
}

// The queue's growth is the last allocation of a message: one fewer
// allowed gives 5 and queues nothing.
TEST(DataPipeSend, AQueueThatCannotGrowIsReported) {
    SPayload payload(100);
    int32_t allowed = 0;
    for (; allowed < 20; ++allowed) {
        CScriptedSend session;
        error e = eNoError;
        {
            CFailingMemory memory(allowed);
            e = session.SendMessage(1, &payload.block);
        }
        if (e == eNoError) {
            EXPECT_EQ(session.QueuedMessages(), 1);
            break;
        }
        EXPECT_TRUE(e == eOutOfMemory || e == eCreateFailed) << e;
        EXPECT_EQ(session.QueuedMessages(), 0);
    }
    ASSERT_GT(allowed, 0);
    ASSERT_LT(allowed, 20);
    CScriptedSend session;
    CFailingMemory memory(allowed - 1);
    EXPECT_EQ(session.SendMessage(1, &payload.block), eOutOfMemory);
    EXPECT_EQ(session.QueuedMessages(), 0);
}

} // namespace
