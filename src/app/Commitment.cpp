#include "app/Commitment.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

void addTag(Sha256& hash, const char* tag)
{
    hash.add(std::string_view(tag));
    hash.add("\n", 1);
}

} // namespace

Commitment::Digest Commitment::of(const Digest& secret, const Digest& admitted, int prize)
{
    Sha256 hash;
    addTag(hash, "rafo-2 commit");
    hash.add(secret.data(), secret.size());
    hash.add(admitted.data(), admitted.size());
    std::uint8_t index[4];
    for (int i = 0; i < 4; ++i)
        index[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(prize) >> (8 * i));
    hash.add(index, sizeof index);
    return hash.finish();
}

DrawSeed Commitment::seed(const Digest& commitment, const Digest& secret, const std::string& digits)
{
    Sha256 hash;
    addTag(hash, "rafo-2 seed");
    hash.add(commitment.data(), commitment.size());
    hash.add(secret.data(), secret.size());
    hash.add(digits);
    return DrawSeed::ofBytes(hash.finish());
}

Commitment::Digest Commitment::freshSecret()
{
    Digest secret;
    QRandomGenerator::system()->generate(secret.begin(), secret.end());
    return secret;
}

QString Commitment::grouped(const Digest& digest, int hexDigits)
{
    const QString digits = hex(digest).left(hexDigits).toUpper();
    QStringList groups;
    for (int i = 0; i < digits.size(); i += 4)
        groups << digits.mid(i, 4);
    return groups.join(QLatin1Char('-'));
}

std::optional<Commitment::Digest> Commitment::fromHex(const QString& hex)
{
    const std::optional<DrawSeed> bytes = DrawSeed::fromHex(hex);
    if (!bytes)
        return std::nullopt;
    return bytes->bytes();
}

QString Commitment::hex(const Digest& digest)
{
    return QString::fromStdString(Sha256::hex(digest));
}

bool Commitment::validDigits(const QString& digits)
{
    if (digits.size() < MinDigits || digits.size() > MaxDigits)
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

WitnessStream WitnessStream::of(const DrawRecord& stop)
{
    WitnessStream stream;
    stream.seed = stop.seed;
    stream.nextWord = stop.firstWord + stop.words;
    stream.admittedSha256 = Commitment::hex(stop.admittedSha256);
    stream.scope = stop.scope;
    stream.committedPrize = stop.prize;
    stream.commitment = stop.commitment;
    stream.secret = stop.secret;
    stream.digits = stop.digits;
    return stream;
}
