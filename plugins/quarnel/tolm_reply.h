#ifndef QUARNEL_TOLM_REPLY_H
#define QUARNEL_TOLM_REPLY_H

// The event record of one TRAV entry, indexed by the offsets of the reply
// (6: event type, 7 on: event data). It keeps the reply from offset 2, at most
// 100 bytes, with the reply's last byte cleared; every other byte reads as zero.
class TolmReply {
public:
    TolmReply(const unsigned char* reply, int length);

    unsigned char byte(int offset) const;
    // Little-endian 16 bits at offset and offset + 1.
    unsigned int word(int offset) const { return byte(offset) | (byte(offset + 1) << 8); }
    // The low 8 bits of the reply length.
    int length() const { return length_; }

private:
    enum { kFirst = 2, kKept = 100 };
    unsigned char bytes_[kKept];
    int length_;
};

#endif
