// How the web build carries out the game's GL calls, around Emscripten's GL layer: the calls,
// their order and their arguments stay as the game makes them; WebGL is given only the calls that
// change something. Linked into every page with --js-library (cmake/Web.cmake).
//
// A quad of the game is ten GL calls: the program, two uniform look-ups and their uniforms, the
// texture unit and texture, the vertex array bound, the draw from a client-side index array and
// the vertex array unbound. Emscripten makes them thirteen WebGL calls, among them a copy of the
// six indices into a buffer; here the two uniforms and the draw remain, and the texture where it
// changes.

var ZorvexGLLibrary = {
  $ZorvexGL__deps: ['$GL'],
  $ZorvexGL__postset: 'ZorvexGL.wrapCreateContext();',
  $ZorvexGL: {
    wrapCreateContext: function() {
      var createContext = GL.createContext;
      GL.createContext = function(canvas, attributes) {
        var handle = createContext(canvas, attributes);
        if (handle) ZorvexGL.filter(GL.getContext(handle).GLctx);
        return handle;
      };
    },

    // Puts a filter on the context's own methods: a program, texture unit or texture asked for
    // again while it is in place is not set again; the vertex array and its index buffer are
    // bound only when something uses or reads them (a draw, the vertex attributes, the index
    // buffer's data, a query), so that a vertex array unbound and bound again between two draws
    // costs nothing. Names are never reused (Emscripten counts them up), so a WebGL object stands
    // for one GL name.
    filter: function(gl) {
      var webgl = Object.getPrototypeOf(gl);
      var ELEMENT_ARRAY_BUFFER = 0x8893;
      var TEXTURE0 = 0x84C0;
      var units = gl.getParameter(0x8B4D /*GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS*/);
      // The index buffers by vertex array (null the default one): what the game bound, and what is.
      var state = gl.zorvexState = {
        program: undefined, unit: TEXTURE0, textures: {}, vertexArray: null, boundVertexArray: null,
        indexBuffers: new Map(), boundIndexBuffers: new Map(), clientIndices: { buffer: null, bytes: new Uint8Array(0) },
      };
      var bindVertexArray = function() {
        var vertexArray = state.vertexArray;
        if (state.boundVertexArray !== vertexArray) {
          webgl.bindVertexArray.call(gl, vertexArray);
          state.boundVertexArray = vertexArray;
        }
        var indices = state.indexBuffers.get(vertexArray) || null;
        if ((state.boundIndexBuffers.get(vertexArray) || null) !== indices) {
          webgl.bindBuffer.call(gl, ELEMENT_ARRAY_BUFFER, indices);
          state.boundIndexBuffers.set(vertexArray, indices);
        }
      };
      var bindingFirst = function(name, when) {
        gl[name] = function(first, second) {
          if (!when || when.indexOf(first) >= 0 || when.indexOf(second) >= 0) bindVertexArray();
          return webgl[name].apply(gl, arguments);
        };
      };
      ['drawArrays', 'drawElements', 'drawArraysInstanced', 'drawElementsInstanced', 'drawRangeElements',
        'vertexAttribPointer', 'vertexAttribIPointer', 'enableVertexAttribArray', 'disableVertexAttribArray',
        'vertexAttribDivisor', 'getVertexAttrib', 'getVertexAttribOffset', 'isVertexArray'].forEach(function(name) {
        bindingFirst(name, null);
      });
      ['bufferData', 'bufferSubData', 'getBufferSubData', 'getBufferParameter', 'copyBufferSubData'].forEach(function(name) {
        bindingFirst(name, [ELEMENT_ARRAY_BUFFER]);
      });
      bindingFirst('getParameter', [0x85B5 /*GL_VERTEX_ARRAY_BINDING*/, 0x8895 /*GL_ELEMENT_ARRAY_BUFFER_BINDING*/]);

      gl.bindVertexArray = function(vertexArray) {
        state.vertexArray = vertexArray;
      };
      gl.bindBuffer = function(target, buffer) {
        if (target === ELEMENT_ARRAY_BUFFER)
          state.indexBuffers.set(state.vertexArray, buffer);
        else
          webgl.bindBuffer.call(gl, target, buffer);
      };
      // A buffer deleted is unbound from the vertex array bound then; a vertex array deleted while
      // bound leaves the default one bound.
      gl.deleteBuffer = function(buffer) {
        bindVertexArray();
        webgl.deleteBuffer.call(gl, buffer);
        if (buffer && state.indexBuffers.get(state.vertexArray) === buffer) {
          state.indexBuffers.set(state.vertexArray, null);
          state.boundIndexBuffers.set(state.vertexArray, null);
        }
      };
      gl.deleteVertexArray = function(vertexArray) {
        bindVertexArray();
        webgl.deleteVertexArray.call(gl, vertexArray);
        if (vertexArray && state.boundVertexArray === vertexArray) state.vertexArray = state.boundVertexArray = null;
        state.indexBuffers.delete(vertexArray);
        state.boundIndexBuffers.delete(vertexArray);
      };

      gl.useProgram = function(program) {
        if (program === state.program) return;
        state.program = program;
        webgl.useProgram.call(gl, program);
      };
      // A program that failed to be put in use (not linked yet) is tried again once linked.
      gl.linkProgram = function(program) {
        state.program = undefined;
        webgl.linkProgram.call(gl, program);
      };
      gl.activeTexture = function(unit) {
        if (unit === state.unit) return;
        webgl.activeTexture.call(gl, unit);
        if (unit >= TEXTURE0 && unit < TEXTURE0 + units) state.unit = unit;
      };
      gl.bindTexture = function(target, texture) {
        var key = state.unit + ':' + target;
        if (state.textures[key] === texture) return;
        webgl.bindTexture.call(gl, target, texture);
        state.textures[key] = texture;
      };
      // A texture deleted is unbound from every unit.
      gl.deleteTexture = function(texture) {
        webgl.deleteTexture.call(gl, texture);
        for (var key in state.textures)
          if (state.textures[key] === texture) delete state.textures[key];
      };
    },

    // The index buffer the game bound for its vertex array, whether or not it is bound yet.
    indexBuffer: function(gl) {
      return gl.zorvexState.indexBuffers.get(gl.zorvexState.vertexArray) || null;
    },

    // WebGL draws indices only from a buffer: one buffer holds the last client-side indices drawn,
    // and is filled again only when they change.
    bindClientIndices: function(gl, pointer, size) {
      var client = gl.zorvexState.clientIndices;
      if (!client.buffer) client.buffer = gl.createBuffer();
      gl.bindBuffer(0x8893 /*GL_ELEMENT_ARRAY_BUFFER*/, client.buffer);
      if (client.bytes.length === size && ZorvexGL.heapHolds(client.bytes, pointer)) return;
      client.bytes = HEAPU8.slice(pointer, pointer + size);
      gl.bufferData(0x8893 /*GL_ELEMENT_ARRAY_BUFFER*/, client.bytes, 0x88E8 /*GL_DYNAMIC_DRAW*/);
    },

    heapHolds: function(bytes, pointer) {
      for (var i = 0; i < bytes.length; ++i)
        if (HEAPU8[pointer + i] !== bytes[i]) return false;
      return true;
    },

    // The bytes of the string at `pointer`, its terminating zero included.
    cString: function(pointer) {
      var end = pointer;
      while (HEAPU8[end]) ++end;
      return HEAPU8.slice(pointer, end + 1);
    },
  },

  // Emscripten's own, without asking WebGL which index buffer the vertex array holds: the filter
  // knows.
  glBindVertexArray: function(vao) {
    GLctx.bindVertexArray(GL.vaos[vao]);
    var indices = ZorvexGL.indexBuffer(GLctx);
    GLctx.currentElementArrayBufferBinding = indices ? indices.name | 0 : 0;
  },

  // Emscripten's own with FULL_ES2, the client-side indices kept in their buffer while they stay
  // the same.
  glDrawElements: function(mode, count, type, indices) {
    var clientSide = !GLctx.currentElementArrayBufferBinding;
    if (clientSide) {
      ZorvexGL.bindClientIndices(GLctx, indices, GL.calcBufLength(1, type, 0, count));
      indices = 0;
    }
    GL.preDrawHandleClientVertexAttribBindings(count);
    GLctx.drawElements(mode, count, type, indices);
    GL.postDrawHandleClientVertexAttribBindings(count);
    if (clientSide) GLctx.bindBuffer(0x8893 /*GL_ELEMENT_ARRAY_BUFFER*/, null);
  },

  // The game looks its two uniforms up for every quad: each answer is kept by the name's address,
  // for as long as the bytes there are that name and the program is not linked again (which
  // gives Emscripten's uniform table a new object).
  $emscriptenGetUniformLocation: LibraryManager.library.glGetUniformLocation,
  $emscriptenGetUniformLocation__deps: LibraryManager.library.glGetUniformLocation__deps,
  glGetUniformLocation__deps: ['$emscriptenGetUniformLocation'],
  glGetUniformLocation: function(program, name) {
    var linked = GL.programs[program];
    var known = linked && linked.zorvexLocations && linked.zorvexLocations.table === linked.uniformLocsById &&
      linked.zorvexLocations.byName[name];
    if (known && ZorvexGL.heapHolds(known.name, name)) return known.location;
    var location = emscriptenGetUniformLocation(program, name);
    if (!linked) return location;
    if (!linked.zorvexLocations || linked.zorvexLocations.table !== linked.uniformLocsById)
      linked.zorvexLocations = { table: linked.uniformLocsById, byName: {} };
    linked.zorvexLocations.byName[name] = { name: ZorvexGL.cString(name), location: location };
    return location;
  },
};

autoAddDeps(ZorvexGLLibrary, '$ZorvexGL');
mergeInto(LibraryManager.library, ZorvexGLLibrary);
