#include "Platform/image/VideoWriter.h"

#include "Platform/core/SafeFileWriter.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace Platform {

namespace {

std::string libraryError(const std::string& what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

struct CodecChoice {
    const char* encoder;
    const char* container;
};

CodecChoice choiceFor(VideoWriter::Codec codec) {
    return codec == VideoWriter::Codec::h264 ? CodecChoice{"libx264", "mp4"}
                                             : CodecChoice{"libvpx-vp9", "webm"};
}

// Quality settings that keep thin coloured lines on black crisp at a size a
// slide show can carry: constant quality rather than a bit rate.
AVDictionary* encoderOptions(VideoWriter::Codec codec) {
    AVDictionary* options = nullptr;
    if (codec == VideoWriter::Codec::h264) {
        av_dict_set(&options, "crf", "18", 0);
        av_dict_set(&options, "preset", "medium", 0);
    } else {
        av_dict_set(&options, "crf", "24", 0);
        av_dict_set(&options, "deadline", "good", 0);
        av_dict_set(&options, "cpu-used", "4", 0);
        av_dict_set(&options, "row-mt", "1", 0);
    }
    return options;
}

} // namespace

VideoWriter::VideoWriter(const Settings& settings, Codec codec)
    : settings_(settings), file_(std::make_unique<SafeFileWriter>(settings.path)) {
    // The encoders report their settings and statistics on standard error;
    // failures come back as results and are reported by the caller.
    av_log_set_level(AV_LOG_QUIET);
    if (!file_->isOpen()) {
        setPreparationError("cannot write " + settings.path + ": " + file_->error());
        return;
    }
    if (const std::string error = prepare(codec); !error.empty())
        setPreparationError("cannot start the video " + settings.path + ": " + error);
}

VideoWriter::~VideoWriter() {
    release();
}

void VideoWriter::release() {
    sws_freeContext(converter_);
    converter_ = nullptr;
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&encoder_);
    if (format_) {
        avio_closep(&format_->pb);
        avformat_free_context(format_);
        format_ = nullptr;
    }
}

std::string VideoWriter::prepare(Codec codec) {
    const CodecChoice choice = choiceFor(codec);
    // The temporary file's name need not end in the container's extension:
    // the container is named.
    int result = avformat_alloc_output_context2(&format_, nullptr, choice.container,
                                                file_->temporaryPath().c_str());
    if (result < 0 || !format_)
        return libraryError("no " + std::string(choice.container) + " container", result);
    if (std::string error = openEncoder(codec); !error.empty())
        return error;
    stream_ = avformat_new_stream(format_, nullptr);
    if (!stream_)
        return "cannot add a video stream";
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    if ((result = avcodec_parameters_from_context(stream_->codecpar, encoder_)) < 0)
        return libraryError("cannot describe the stream", result);
    if ((result = avio_open(&format_->pb, file_->temporaryPath().c_str(), AVIO_FLAG_WRITE)) < 0)
        return libraryError("cannot open " + file_->temporaryPath(), result);
    AVDictionary* muxerOptions = nullptr;
    if (codec == Codec::h264)
        av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    result = avformat_write_header(format_, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (result < 0)
        return libraryError("cannot write the header", result);

    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_)
        return "out of memory";
    frame_->format = encoder_->pix_fmt;
    frame_->width = settings_.width;
    frame_->height = settings_.height;
    if ((result = av_frame_get_buffer(frame_, 0)) < 0)
        return libraryError("cannot make a frame", result);
    converter_ = sws_getContext(settings_.width, settings_.height, AV_PIX_FMT_RGBA, settings_.width,
                                settings_.height, encoder_->pix_fmt,
                                SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                nullptr, nullptr);
    return converter_ ? std::string() : "cannot convert RGBA frames to YUV 4:2:0";
}

std::string VideoWriter::openEncoder(Codec codec) {
    const CodecChoice choice = choiceFor(codec);
    const AVCodec* encoder = avcodec_find_encoder_by_name(choice.encoder);
    if (!encoder)
        return std::string("the encoder ") + choice.encoder + " is not installed";
    encoder_ = avcodec_alloc_context3(encoder);
    if (!encoder_)
        return "out of memory";
    const AVRational rate = av_d2q(settings_.framesPerSecond, 100000);
    encoder_->width = settings_.width;
    encoder_->height = settings_.height;
    encoder_->framerate = rate;
    encoder_->time_base = av_inv_q(rate);
    encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
    // A key frame every two seconds or so, so a player can seek.
    encoder_->gop_size = std::max(1, static_cast<int>(settings_.framesPerSecond * 2));
    // libswscale converts with the BT.601 matrix into the video range.
    encoder_->colorspace = AVCOL_SPC_SMPTE170M;
    encoder_->color_range = AVCOL_RANGE_MPEG;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = encoderOptions(codec);
    const int result = avcodec_open2(encoder_, encoder, &options);
    av_dict_free(&options);
    return result < 0 ? libraryError(std::string("cannot start ") + choice.encoder, result)
                      : std::string();
}

bool VideoWriter::addFrame(const std::vector<std::uint8_t>& rgbaTopDown,
                           std::string& errorMessage) {
    const std::size_t expected =
        static_cast<std::size_t>(settings_.width) * static_cast<std::size_t>(settings_.height) * 4;
    if (!converter_ || rgbaTopDown.size() != expected) {
        errorMessage = "a frame does not hold " + std::to_string(settings_.width) + "x" +
                       std::to_string(settings_.height) + " RGBA pixels";
        return false;
    }
    if (const int result = av_frame_make_writable(frame_); result < 0) {
        errorMessage = libraryError("cannot reuse the video frame", result);
        return false;
    }
    const std::uint8_t* source[] = {rgbaTopDown.data()};
    const int sourceStride[] = {settings_.width * 4};
    sws_scale(converter_, source, sourceStride, 0, settings_.height, frame_->data,
              frame_->linesize);
    frame_->pts = framesSent_++;
    return encode(frame_, errorMessage);
}

bool VideoWriter::encode(AVFrame* frame, std::string& errorMessage) {
    int result = avcodec_send_frame(encoder_, frame);
    while (result >= 0) {
        result = avcodec_receive_packet(encoder_, packet_);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            break;
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        result = av_interleaved_write_frame(format_, packet_);
    }
    errorMessage = libraryError("cannot write the video " + settings_.path, result);
    return false;
}

bool VideoWriter::finish(std::string& errorMessage) {
    if (!encoder_ || !format_ || !format_->pb) {
        errorMessage = "the video " + settings_.path + " was not started";
        return false;
    }
    if (!encode(nullptr, errorMessage))
        return false;
    if (const int result = av_write_trailer(format_); result < 0) {
        errorMessage = libraryError("cannot finish the video " + settings_.path, result);
        return false;
    }
    const int closed = avio_closep(&format_->pb);
    if (closed < 0) {
        errorMessage = libraryError("cannot finish the video " + settings_.path, closed);
        return false;
    }
    return file_->commit(errorMessage);
}

} // namespace Platform
