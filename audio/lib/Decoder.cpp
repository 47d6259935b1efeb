#include "audio/lib/Decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace horavia::audiolib {

namespace {

using bass::DWORD;
using bass::QWORD;

constexpr int IoBufferSize = 32 * 1024;

bool FormatIs(const AVInputFormat* fmt, std::string_view name) {
    // FFmpeg names a demuxer by a comma-separated list ("mov,mp4,m4a,3gp,3g2,mj2")
    std::string_view names = fmt->name;
    while (!names.empty()) {
        const auto comma = names.find(',');
        if (names.substr(0, comma) == name) {
            return true;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        names.remove_prefix(comma + 1);
    }
    return false;
}

bool IsWmaCodec(AVCodecID id) {
    return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2 || id == AV_CODEC_ID_WMAPRO ||
           id == AV_CODEC_ID_WMALOSSLESS || id == AV_CODEC_ID_WMAVOICE;
}

// The channel type to report, or 0 when the family does not take this container and codec.
DWORD Accepts(FormatFamily family, const AVInputFormat* fmt, AVCodecID codec) {
    switch (family) {
    case FormatFamily::Core:
        if (FormatIs(fmt, "wav")) {
            return bass::BASS_CTYPE_STREAM_WAV;
        }
        if (FormatIs(fmt, "mp3") && codec == AV_CODEC_ID_MP3) {
            return bass::BASS_CTYPE_STREAM_MP3;
        }
        if (FormatIs(fmt, "flac") && codec == AV_CODEC_ID_FLAC) {
            return bass::BASS_CTYPE_STREAM_FLAC;
        }
        if (FormatIs(fmt, "ogg")) {
            // the desktop's own sounds are Ogg files (.oga), alarms are also kept as Opus and as Ogg FLAC
            if (codec == AV_CODEC_ID_VORBIS) {
                return bass::BASS_CTYPE_STREAM_OGG;
            }
            if (codec == AV_CODEC_ID_OPUS) {
                return bass::BASS_CTYPE_STREAM_OPUS;
            }
            if (codec == AV_CODEC_ID_FLAC) {
                return bass::BASS_CTYPE_STREAM_FLAC_OGG;
            }
        }
        return 0;
    case FormatFamily::Wma:
        return FormatIs(fmt, "asf") && IsWmaCodec(codec) ? bass::BASS_CTYPE_STREAM_WMA : 0;
    case FormatFamily::Aac:
        return FormatIs(fmt, "aac") && codec == AV_CODEC_ID_AAC ? bass::BASS_CTYPE_STREAM_AAC : 0;
    case FormatFamily::Mp4:
        return FormatIs(fmt, "mp4") && codec == AV_CODEC_ID_AAC ? bass::BASS_CTYPE_STREAM_MP4 : 0;
    case FormatFamily::Alac:
        return FormatIs(fmt, "mp4") && codec == AV_CODEC_ID_ALAC ? bass::BASS_CTYPE_STREAM_ALAC : 0;
    case FormatFamily::Ape:
        return FormatIs(fmt, "ape") && codec == AV_CODEC_ID_APE ? bass::BASS_CTYPE_STREAM_APE : 0;
    case FormatFamily::Network:
        if ((FormatIs(fmt, "mp3") && codec == AV_CODEC_ID_MP3) || (FormatIs(fmt, "aac") && codec == AV_CODEC_ID_AAC) ||
            (FormatIs(fmt, "ogg") && (codec == AV_CODEC_ID_VORBIS || codec == AV_CODEC_ID_OPUS))) {
            return bass::BASS_CTYPE_STREAM_NET;
        }
        return 0;
    }
    return 0;
}

// The demuxers a family may use. A file is probed by its content; a container outside this list is refused
// before its header is read, so a playlist or a reference file named like a sound never opens anything else.
const char* DemuxersOf(FormatFamily family) {
    switch (family) {
    case FormatFamily::Core:
        return "wav,mp3,ogg,flac";
    case FormatFamily::Wma:
        return "asf";
    case FormatFamily::Aac:
        return "aac";
    case FormatFamily::Mp4:
    case FormatFamily::Alac:
        return "mov,mp4,m4a";
    case FormatFamily::Ape:
        return "ape";
    case FormatFamily::Network:
        return "mp3,aac,ogg";
    }
    return "";
}

// Only a regular file is read: a FIFO, a socket or a device would hold the reader without end. Opening
// without blocking is what makes the test itself safe on a FIFO that has no writer.
bool IsRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

// Opens a local file through FFmpeg's file protocol alone: a path is never taken for an address, whatever
// it looks like ("tcp://...", "concat:..."), and nothing the file names is fetched from elsewhere.
int OpenLocal(AVFormatContext** format, const std::string& path, FormatFamily family) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", DemuxersOf(family), 0);
    const std::string url = "file:" + path;
    const int rc = avformat_open_input(format, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    return rc;
}

} // namespace

struct Decoder::Impl {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int streamIndex = -1;
    DWORD ctype = 0;
    DWORD resolution = 0;
    DWORD sourceRate = 0;
    DWORD sourceChannels = 0;
    // what the resampler was made for; a frame that differs in any of these needs a new one
    AVChannelLayout swrLayout{};
    int swrRate = 0;
    int swrFormat = AV_SAMPLE_FMT_NONE;
    QWORD length = bass::BASS_LENGTH_UNKNOWN;
    bool inputDone = false;
    bool flushed = false;
    ReadFn read;

    ~Impl() {
        av_channel_layout_uninit(&swrLayout);
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    static int ReadPacket(void* opaque, std::uint8_t* buf, int size) {
        auto* self = static_cast<Impl*>(opaque);
        const int n = self->read(buf, size);
        if (n == 0) {
            return AVERROR_EOF;
        }
        return n < 0 ? AVERROR(EIO) : n;
    }

    // Finds the audio stream, checks it against the family and readies decoder and resampler.
    int Setup(FormatFamily family) {
        if (avformat_find_stream_info(format, nullptr) < 0) {
            return bass::BASS_ERROR_FILEFORM;
        }
        streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (streamIndex < 0) {
            return bass::BASS_ERROR_FILEFORM;
        }
        AVStream* stream = format->streams[streamIndex];
        ctype = Accepts(family, format->iformat, stream->codecpar->codec_id);
        if (ctype == 0) {
            return bass::BASS_ERROR_FILEFORM;
        }
        const AVCodec* dec = avcodec_find_decoder(stream->codecpar->codec_id);
        if (!dec) {
            return bass::BASS_ERROR_CODEC;
        }
        codec = avcodec_alloc_context3(dec);
        if (!codec || avcodec_parameters_to_context(codec, stream->codecpar) < 0) {
            return bass::BASS_ERROR_MEM;
        }
        codec->thread_count = 1;
        if (avcodec_open2(codec, dec, nullptr) < 0) {
            return bass::BASS_ERROR_CODEC;
        }
        if (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0) {
            return bass::BASS_ERROR_FILEFORM;
        }
        sourceRate = static_cast<DWORD>(codec->sample_rate);
        sourceChannels = static_cast<DWORD>(codec->ch_layout.nb_channels);
        resolution = static_cast<DWORD>(std::max(0, stream->codecpar->bits_per_raw_sample));
        if (resolution == 0 && stream->codecpar->bits_per_coded_sample > 0 &&
            av_get_exact_bits_per_sample(stream->codecpar->codec_id) > 0) {
            resolution = static_cast<DWORD>(stream->codecpar->bits_per_coded_sample);
        }
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!packet || !frame) {
            return bass::BASS_ERROR_MEM;
        }
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            format->streams[i]->discard = static_cast<int>(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
        return bass::BASS_OK;
    }

    // The resampler follows the frames: a stream may change its channel layout, rate or sample format from
    // one frame to the next (two mp3 files joined, a radio switching programmes), and feeding a frame to a
    // resampler made for another layout reads past the frame's planes. What the old one still holds is
    // drained into out first, so no sound is lost at the change.
    bool EnsureResampler(const AVFrame* f, std::vector<std::uint8_t>& out) {
        if (f->sample_rate <= 0 || f->nb_samples < 0 || f->ch_layout.nb_channels <= 0 ||
            f->ch_layout.nb_channels > 64) {
            return false;
        }
        if (swr && f->sample_rate == swrRate && f->format == swrFormat &&
            av_channel_layout_compare(&f->ch_layout, &swrLayout) == 0) {
            return true;
        }
        if (swr) {
            Convert(nullptr, out);
            swr_free(&swr);
        }
        av_channel_layout_uninit(&swrLayout);
        if (av_channel_layout_copy(&swrLayout, &f->ch_layout) < 0) {
            return false;
        }
        swrRate = f->sample_rate;
        swrFormat = f->format;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&in, f->ch_layout.nb_channels);
        } else if (av_channel_layout_copy(&in, &f->ch_layout) < 0) {
            return false;
        }
        const int rc = swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, OutputRate, &in,
                                           static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        if (rc < 0 || swr_init(swr) < 0) {
            swr_free(&swr);
            return false;
        }
        return true;
    }

    void Convert(const AVFrame* f, std::vector<std::uint8_t>& out) {
        const int maxOut = swr_get_out_samples(swr, f ? f->nb_samples : 0);
        if (maxOut <= 0) {
            return;
        }
        const std::size_t old = out.size();
        out.resize(old + static_cast<std::size_t>(maxOut) * BytesPerFrame);
        std::uint8_t* dst = out.data() + old;
        const int got = swr_convert(swr, &dst, maxOut, f ? const_cast<const std::uint8_t**>(f->extended_data) : nullptr,
                                    f ? f->nb_samples : 0);
        out.resize(old + static_cast<std::size_t>(std::max(0, got)) * BytesPerFrame);
    }

    // Measures the length by walking every packet of a second reader of the same file. Seeking this one back
    // instead would trust the container's seek table, and the table of a short VBR mp3 maps its start to the
    // wrong byte: the sound would begin late and end early.
    void Prescan(const std::string& path, FormatFamily family) {
        AVFormatContext* scan = nullptr;
        if (OpenLocal(&scan, path, family) < 0) {
            return;
        }
        AVPacket* p = av_packet_alloc();
        if (p && avformat_find_stream_info(scan, nullptr) >= 0 && streamIndex < static_cast<int>(scan->nb_streams)) {
            const AVStream* stream = scan->streams[streamIndex];
            std::int64_t total = 0;
            bool any = false;
            while (av_read_frame(scan, p) >= 0) {
                if (p->stream_index == streamIndex && p->duration > 0) {
                    total += p->duration;
                    any = true;
                }
                av_packet_unref(p);
            }
            if (any) {
                const std::int64_t samples = av_rescale_q(total, stream->time_base, AVRational{1, OutputRate});
                length = static_cast<QWORD>(std::max<std::int64_t>(0, samples)) * BytesPerFrame;
            }
        }
        av_packet_free(&p);
        avformat_close_input(&scan);
    }

    void EstimateLength() {
        const AVStream* stream = format->streams[streamIndex];
        std::int64_t samples = -1;
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
            samples = av_rescale_q(stream->duration, stream->time_base, AVRational{1, OutputRate});
        } else if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
            samples = av_rescale_q(format->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, OutputRate});
        }
        if (samples >= 0) {
            length = static_cast<QWORD>(samples) * BytesPerFrame;
        }
    }
};

Decoder::Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Decoder::~Decoder() = default;

std::unique_ptr<Decoder> Decoder::OpenFile(const std::string& path, FormatFamily family, bool prescan, int& error) {
    auto impl = std::make_unique<Impl>();
    if (!IsRegularFile(path)) {
        error = bass::BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (OpenLocal(&impl->format, path, family) < 0) {
        // a container outside the family's list lands here as well
        error = bass::BASS_ERROR_FILEFORM;
        return nullptr;
    }
    error = impl->Setup(family);
    if (error != bass::BASS_OK) {
        return nullptr;
    }
    if (prescan) {
        impl->Prescan(path, family);
    }
    if (impl->length == bass::BASS_LENGTH_UNKNOWN) {
        impl->EstimateLength();
    }
    return std::unique_ptr<Decoder>(new Decoder(std::move(impl)));
}

std::unique_ptr<Decoder> Decoder::OpenReader(ReadFn read, int& error) {
    auto impl = std::make_unique<Impl>();
    impl->read = std::move(read);
    auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
    if (!buffer) {
        error = bass::BASS_ERROR_MEM;
        return nullptr;
    }
    impl->io = avio_alloc_context(buffer, IoBufferSize, 0, impl.get(), &Impl::ReadPacket, nullptr, nullptr);
    if (!impl->io) {
        av_free(buffer);
        error = bass::BASS_ERROR_MEM;
        return nullptr;
    }
    impl->io->seekable = 0;
    impl->format = avformat_alloc_context();
    if (!impl->format) {
        error = bass::BASS_ERROR_MEM;
        return nullptr;
    }
    impl->format->pb = impl->io;
    impl->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // keep the probe short: a stream is played from what arrives, not analysed for seconds
    impl->format->probesize = 64 * 1024;
    impl->format->max_analyze_duration = AV_TIME_BASE / 2;
    AVDictionary* options = nullptr;
    // a stream's body is read through our own reader only; no demuxer may open anything besides it
    av_dict_set(&options, "format_whitelist", DemuxersOf(FormatFamily::Network), 0);
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    const int rc = avformat_open_input(&impl->format, nullptr, nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        // avformat_open_input frees the context on failure
        error = bass::BASS_ERROR_FILEFORM;
        return nullptr;
    }
    error = impl->Setup(FormatFamily::Network);
    if (error != bass::BASS_OK) {
        return nullptr;
    }
    return std::unique_ptr<Decoder>(new Decoder(std::move(impl)));
}

bool Decoder::DecodeMore(std::vector<std::uint8_t>& out) {
    Impl& d = *impl_;
    if (d.flushed) {
        return false;
    }
    for (;;) {
        const int rc = avcodec_receive_frame(d.codec, d.frame);
        if (rc == 0) {
            const bool ok = d.EnsureResampler(d.frame, out);
            if (ok) {
                d.Convert(d.frame, out);
            }
            av_frame_unref(d.frame);
            if (!ok) {
                d.flushed = true;
                return false;
            }
            return true;
        }
        if (rc == AVERROR_EOF) {
            if (d.swr) {
                d.Convert(nullptr, out);
            }
            d.flushed = true;
            return !out.empty();
        }
        if (rc != AVERROR(EAGAIN)) {
            d.flushed = true;
            return false;
        }
        if (d.inputDone) {
            // the decoder wants input and there is none left: it has been drained
            d.flushed = true;
            return false;
        }
        const int readRc = av_read_frame(d.format, d.packet);
        if (readRc < 0) {
            d.inputDone = true;
            avcodec_send_packet(d.codec, nullptr);
            continue;
        }
        if (d.packet->stream_index == d.streamIndex) {
            // a damaged packet is skipped, not the end of the sound
            avcodec_send_packet(d.codec, d.packet);
        }
        av_packet_unref(d.packet);
    }
}

bass::QWORD Decoder::LengthBytes() const {
    return impl_->length;
}
bass::DWORD Decoder::ChannelType() const {
    return impl_->ctype;
}
bass::DWORD Decoder::SourceResolution() const {
    return impl_->resolution;
}
bass::DWORD Decoder::SourceRate() const {
    return impl_->sourceRate;
}
bass::DWORD Decoder::SourceChannels() const {
    return impl_->sourceChannels;
}

} // namespace horavia::audiolib
